// vdx-demo CARTELLA          the demo hotel, dated around today, into CARTELLA
// vdx-demo --large CARTELLA  the large hotel for measurements into CARTELLA

#include "AlbergoDemo.h"
#include "shared/Cp1252.h"
#include "shared/Date.h"
#include "shared/Errore.h"
#include "shared/Opzioni.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>

namespace {

const vdx::DescrizioneComando Demo{
    "vdx-demo",
    "CARTELLA",
    1,
    "Scrive nella CARTELLA i file dell'hotel di prova, datati intorno a oggi: due hotel, gli\n"
    "ospiti presenti, in arrivo e in partenza, prenotazioni di ogni tipo e le destinazioni di\n"
    "stampa dell'hotel 1.",
    {{"--large", "", "l'hotel grande per le misure: 1.000 camere, 1.000.000 di schede"}},
    1};

} // namespace

int main(int argc, char** argv) {
    int esito = 0;
    const auto scelte = vdx::LeggiOUso(Demo, std::vector<std::string>(argv + 1, argv + argc),
                                       std::cout, std::cerr, esito);
    if (!scelte) {
        return esito;
    }
    const std::filesystem::path cartella = scelte->argomenti.front();
    try {
        const vdx::DataOra oggi = vdx::OraLocale();
        const auto inizio = std::chrono::steady_clock::now();
        const auto riepilogo = scelte->Ha("--large")
                                   ? vdx::fixture::ScriviDemoGrande(cartella, oggi)
                                   : vdx::fixture::ScriviDemo(cartella, oggi);
        const double secondi =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
        std::printf("vdx-demo: %s (%.1f s)\n", riepilogo.Testo(cartella, oggi).c_str(), secondi);
        return 0;
    } catch (const vdx::Errore& e) {
        std::cerr << "vdx-demo: " << vdx::TestoPerTerminale(e.what()) << "\n";
    } catch (const std::exception& e) {
        std::cerr << "vdx-demo: " << e.what() << "\n";
    }
    return 1;
}
