#pragma once

// Hotel data sets for the generator's tests, written as real .mdb files.

#include "Albergo.h"
#include "report/GeneraTableau.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace vdx::test {

struct Ospite {
    int hotel = 1;
    std::string camera;
    long long progressivo = 0;
    int componente = 1;
    std::string nome;
    std::string arrivo;
    std::string partenza;
    std::string partenzaReale;
    std::string partito;
    std::string tipoCliente;
    std::string commento;
    std::optional<long long> agenzia;
};

struct CameraPrenotata {
    int hotel = 1;
    long long prenotazione = 0;
    std::string camera;
    std::string arrivo;
    std::string partenza;
    int persone = 2;
    std::string tipo = "C";
    int quantita = 1;
    std::string trattamento;
    long long prezzo = 0; // ten-thousandths
    std::string note;
};

struct Prenotazione {
    int hotel = 1;
    long long numero = 0;
    std::string tipo = "C";
    std::string nome;
    std::string ditta;
    std::string agenzia;
    std::string tipoCliente;
};

// Texts are UTF-8 here and stored as code page 1252.
class DatiAlbergo {
public:
    DatiAlbergo& Hotel(int numero, const std::string& nome, const std::string& codice);
    DatiAlbergo& Tableau(int hotel, int codice, const std::string& descrizione);
    DatiAlbergo& Tipo(const std::string& sigla, const std::string& tipologia);
    DatiAlbergo& Camera(int hotel, int tableau, const std::string& numero, const std::string& tipo);
    DatiAlbergo& ConOspite(const Ospite& o);
    DatiAlbergo& Ditta(int hotel, long long cliente, int conto, const std::string& nome);
    DatiAlbergo& Agenzia(int hotel, long long codice, const std::string& nome);
    DatiAlbergo& Arrangiamento(int hotel, long long cliente, const std::string& inizio,
                               const std::string& fine, const std::string& codice,
                               long long importo);
    DatiAlbergo& Prenotata(const CameraPrenotata& c);
    DatiAlbergo& ConPrenotazione(const Prenotazione& p);
    DatiAlbergo& OspitePrenotazione(int hotel, long long prenotazione, const std::string& camera,
                                    int ordine, const std::string& nome);

    fixture::Albergo& AlbergoDiProva() { return albergo_; }
    void Scrivi(const std::filesystem::path& cartella) const { albergo_.Scrivi(cartella); }

private:
    fixture::Albergo albergo_;
};

// The options of a test run: hotel 1, tableau 1, 05/03/2024, every room,
// pclocal 7, the clock at 05/03/2024 07:30.
OpzioniTableau OpzioniDiProva(const std::filesystem::path& cartella);

// Whole-file comparison with tests/golden/report/<nome>; with the environment
// variable VDX_UPDATE_GOLDEN set the file is written instead. On a difference
// the message shows the differing lines with the rules drawn as | and -.
::testing::AssertionResult UgualeAlGolden(const std::string& nome, const std::string& byte);

} // namespace vdx::test
