#include "request/ControlloRichiesta.h"

namespace vdx {

Rifiuto RifiutoCamere() {
    return {CampoRifiutato::PrimaCamera, "Camere errate!",
            "Controllare l'intervallo di camere richiesto!"};
}

Rifiuto RifiutoData() {
    return {CampoRifiutato::Data, "Data errata!",
            "La data deve essere inserita \r\nnel formato gg/mm/aaaa"};
}

std::variant<OpzioniTableau, Rifiuto> ControllaRichiesta(OpzioniTableau richiesta,
                                                         Calendario& calendario) {
    // The last room may equal the first but not sort before it.
    if (richiesta.ultimaCamera < richiesta.primaCamera) {
        return RifiutoCamere();
    }
    if (!ControllaData(richiesta.data, calendario)) {
        return RifiutoData();
    }
    return richiesta;
}

} // namespace vdx
