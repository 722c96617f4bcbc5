#include "shared/RequestState.h"

namespace vdx {

StatoRichiesta& StatoCondiviso() {
    static StatoRichiesta stato;
    return stato;
}

} // namespace vdx
