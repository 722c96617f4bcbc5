#include "preview/EsportaXlsx.h"

#include "shared/Ambiente.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <unistd.h>
#include <xlsxwriter.h>

namespace vdx {

namespace fs = std::filesystem;

namespace {

// The column heads of the sheet, in order.
constexpr std::array<std::string_view, 11> ColonneFoglio{"Camera",
                                                         "Tipo",
                                                         "Persone",
                                                         "Arrivo",
                                                         "Partenza",
                                                         "Alloggiato",
                                                         "Secondo alloggiato / stato",
                                                         "Ditta / Agenzia",
                                                         "Arrangiamento",
                                                         "Importo",
                                                         "Commento / Tipo cliente"};

// Rows of the sheet, from 0: the title, the head, then the table.
constexpr lxw_row_t RigaTitolo = 0;
constexpr lxw_row_t RigaIntestazione = 1;
constexpr lxw_row_t PrimaRigaDati = 2;
constexpr lxw_col_t UltimaColonna = ColonneFoglio.size() - 1;
// Columns of ColonneFoglio.
constexpr lxw_col_t ColonnaPersone = 2;
constexpr lxw_col_t ColonnaArrivo = 3;
constexpr lxw_col_t ColonnaPartenza = 4;
constexpr lxw_col_t ColonnaImporto = 9;
// The totals: their label across the columns Camera to Partenza, the value
// beside it.
constexpr lxw_col_t ColonnaValoreTotale = 5;

// Number formats are written in the file's own notation (',' groups, '.'
// before the decimals); the program that opens it shows them in the
// desktop's language, and the cell stays a number or a date.
constexpr const char* FormatoData = "dd/mm/yyyy";
constexpr const char* FormatoImporto = "#,##0.00 [$\xE2\x82\xAC-410]"; // the euro sign, Italian
// The widest column the widths that fit may ask for, in characters.
constexpr double LarghezzaMassima = 60;
// Room for the autofilter's button, in characters.
constexpr std::size_t SpazioFiltro = 3;
// The earliest date a workbook holds.
constexpr int PrimoAnno = 1900;

// A file the workbook is written to before it is copied into place, removed
// when the export ends however it ends.
class FileProvvisorio {
public:
    FileProvvisorio() {
        std::string modello = (fs::temp_directory_path() / "vdx-foglio-XXXXXX").string();
        const int fd = ::mkstemp(modello.data());
        if (fd < 0) {
            throw Errore(errore::AccessoPercorso,
                         "Impossibile creare un file provvisorio: " + DescrizioneErrno(errno));
        }
        ::close(fd);
        percorso_ = modello;
    }
    ~FileProvvisorio() {
        std::error_code ec;
        fs::remove(percorso_, ec);
    }
    FileProvvisorio(const FileProvvisorio&) = delete;
    FileProvvisorio& operator=(const FileProvvisorio&) = delete;
    const fs::path& Percorso() const { return percorso_; }

private:
    fs::path percorso_;
};

struct Formati {
    lxw_format* titolo;
    lxw_format* intestazione;         // over text
    lxw_format* intestazioneCentrata; // over persons and dates
    lxw_format* intestazioneDestra;   // over amounts
    lxw_format* data;
    lxw_format* importo;
    lxw_format* intero;
    lxw_format* etichetta;
    lxw_format* totale;
};

Formati CreaFormati(lxw_workbook* libro) {
    Formati f{};
    f.titolo = workbook_add_format(libro);
    format_set_bold(f.titolo);
    format_set_font_size(f.titolo, 13);
    for (auto [formato, allineamento] : {std::pair{&f.intestazione, LXW_ALIGN_LEFT},
                                         std::pair{&f.intestazioneCentrata, LXW_ALIGN_CENTER},
                                         std::pair{&f.intestazioneDestra, LXW_ALIGN_RIGHT}}) {
        *formato = workbook_add_format(libro);
        format_set_bold(*formato);
        format_set_bottom(*formato, LXW_BORDER_THIN);
        format_set_bg_color(*formato, 0xE0E0E0);
        format_set_align(*formato, allineamento);
    }
    f.data = workbook_add_format(libro);
    format_set_num_format(f.data, FormatoData);
    format_set_align(f.data, LXW_ALIGN_CENTER);
    f.importo = workbook_add_format(libro);
    format_set_num_format(f.importo, FormatoImporto);
    f.intero = workbook_add_format(libro);
    format_set_num_format(f.intero, "0");
    format_set_align(f.intero, LXW_ALIGN_CENTER);
    f.etichetta = workbook_add_format(libro);
    format_set_bold(f.etichetta);
    format_set_align(f.etichetta, LXW_ALIGN_RIGHT);
    f.totale = workbook_add_format(libro);
    format_set_bold(f.totale);
    format_set_num_format(f.totale, "0");
    format_set_align(f.totale, LXW_ALIGN_LEFT);
    return f;
}

// One sheet being written; it keeps the width each column needs.
class Foglio {
public:
    Foglio(lxw_worksheet* foglio, const Formati& formati) : foglio_(foglio), f_(formati) {}

    void Testo(lxw_row_t riga, lxw_col_t colonna, std::string_view cp1252,
               lxw_format* formato = nullptr) {
        if (cp1252.empty()) {
            return;
        }
        worksheet_write_string(foglio_, riga, colonna, Utf8DaCp1252(cp1252).c_str(), formato);
        Misura(colonna, cp1252.size()); // one byte, one character
    }

    // A head cell: it needs room for the autofilter's button too.
    void Intestazione(lxw_col_t colonna, std::string_view testo, lxw_format* formato) {
        worksheet_write_string(foglio_, RigaIntestazione, colonna, std::string(testo).c_str(),
                               formato);
        Misura(colonna, testo.size() + SpazioFiltro);
    }

    void Numero(lxw_row_t riga, lxw_col_t colonna, double valore, lxw_format* formato,
                std::size_t caratteri) {
        worksheet_write_number(foglio_, riga, colonna, valore, formato);
        Misura(colonna, caratteri);
    }

    void Data(lxw_row_t riga, lxw_col_t colonna, const CellaData& cella) {
        if (const auto* giorno = std::get_if<DataOra>(&cella);
            giorno && giorno->anno >= PrimoAnno) {
            lxw_datetime momento{giorno->anno, giorno->mese, giorno->giorno, 0, 0, 0};
            worksheet_write_datetime(foglio_, riga, colonna, &momento, f_.data);
            Misura(colonna, 10);
        } else if (const auto* testo = std::get_if<std::string>(&cella)) {
            Testo(riga, colonna, *testo);
        } else if (giorno) {
            // No workbook holds a day before 1900: it stays as the report writes it.
            char scritta[40]; // room for any int the compiler can imagine
            std::snprintf(scritta, sizeof scritta, "%02d/%02d/%04d", giorno->giorno, giorno->mese,
                          giorno->anno);
            Testo(riga, colonna, scritta);
        }
    }

    void Riga(lxw_row_t riga, const RigaTabella& r) {
        Testo(riga, 0, r.camera);
        Testo(riga, 1, r.tipo);
        if (r.persone) {
            Numero(riga, ColonnaPersone, *r.persone, f_.intero, std::to_string(*r.persone).size());
        }
        Data(riga, ColonnaArrivo, r.arrivo);
        Data(riga, ColonnaPartenza, r.partenza);
        Testo(riga, 5, r.alloggiato);
        Testo(riga, 6, r.secondo);
        Testo(riga, 7, r.dittaAgenzia);
        Testo(riga, 8, r.arrangiamento);
        if (r.importo) {
            // "12.345,67 €": the amount as the report writes it, and the sign.
            Numero(riga, ColonnaImporto, static_cast<double>(*r.importo) / 10000.0, f_.importo,
                   FormattaImporto(*r.importo, {}).size() + 2);
        }
        Testo(riga, 10, r.commento);
    }

    void Larghezze() {
        for (lxw_col_t c = 0; c <= UltimaColonna; ++c) {
            const double larghezza =
                std::min(LarghezzaMassima, static_cast<double>(larghezze_[c] + 1));
            worksheet_set_column(foglio_, c, c, larghezza, nullptr);
        }
    }

private:
    void Misura(lxw_col_t colonna, std::size_t caratteri) {
        if (colonna <= UltimaColonna) {
            larghezze_[colonna] = std::max(larghezze_[colonna], caratteri);
        }
    }

    lxw_worksheet* foglio_;
    const Formati& f_;
    std::array<std::size_t, ColonneFoglio.size()> larghezze_{};
};

std::string TitoloFoglio(const TabellaTableau& t) {
    std::string titolo = "Hotel : " + t.hotel;
    if (!t.tableau.empty() || !t.data.empty()) {
        titolo += "   Tableau : " + t.tableau;
    }
    if (!t.data.empty()) {
        titolo += " del " + t.data;
    }
    return titolo;
}

// The sheet's name: "Tableau dd-mm-yyyy" after the report's date, "Tableau"
// when the report states none.
std::string NomeFoglio(const TabellaTableau& tabella) {
    const std::string& d = tabella.data;
    const bool data =
        d.size() == 10 && d[2] == '/' && d[5] == '/' &&
        std::all_of(d.begin(), d.end(), [](char c) { return c == '/' || (c >= '0' && c <= '9'); });
    if (!data) {
        return "Tableau";
    }
    return "Tableau " + d.substr(0, 2) + "-" + d.substr(3, 2) + "-" + d.substr(6, 4);
}

// The sheet's layout and its settings for printing: the title, the frozen
// head with its filter, the table, the totals below it.
void ScriviFoglio(lxw_workbook* libro, const TabellaTableau& tabella) {
    const Formati formati = CreaFormati(libro);
    lxw_worksheet* ws = workbook_add_worksheet(libro, NomeFoglio(tabella).c_str());
    if (ws == nullptr) {
        throw Errore(errore::AccessoPercorso, "Impossibile creare il foglio del tableau.");
    }
    Foglio foglio(ws, formati);
    if (!tabella.hotel.empty() || !tabella.tableau.empty() || !tabella.data.empty()) {
        worksheet_write_string(ws, RigaTitolo, 0, Utf8DaCp1252(TitoloFoglio(tabella)).c_str(),
                               formati.titolo);
    }
    for (lxw_col_t c = 0; c <= UltimaColonna; ++c) {
        lxw_format* formato = c == ColonnaImporto ? formati.intestazioneDestra
                              : c >= ColonnaPersone && c <= ColonnaPartenza
                                  ? formati.intestazioneCentrata
                                  : formati.intestazione;
        foglio.Intestazione(c, ColonneFoglio[c], formato);
    }
    lxw_row_t riga = PrimaRigaDati;
    for (const RigaTabella& r : tabella.righe) {
        foglio.Riga(riga++, r);
    }
    const lxw_row_t ultimaDati = riga == PrimaRigaDati ? RigaIntestazione : riga - 1;
    worksheet_autofilter(ws, RigaIntestazione, 0, ultimaDati, UltimaColonna);
    worksheet_freeze_panes(ws, PrimaRigaDati, 0);
    // Rooms are text on purpose ("10" sorts before "9", as in the report).
    const std::string camere = "A" + std::to_string(PrimaRigaDati + 1) + ":A" +
                               std::to_string(std::max(ultimaDati, PrimaRigaDati) + 1);
    worksheet_ignore_errors(ws, LXW_IGNORE_NUMBER_STORED_AS_TEXT, camere.c_str());

    riga = ultimaDati + 2;
    for (const TotaleTableau& totale : tabella.totali) {
        worksheet_merge_range(ws, riga, 0, riga, ColonnaValoreTotale - 1,
                              Utf8DaCp1252(totale.etichetta).c_str(), formati.etichetta);
        worksheet_write_number(ws, riga, ColonnaValoreTotale, static_cast<double>(totale.valore),
                               formati.totale);
        ++riga;
    }
    foglio.Larghezze();
    worksheet_set_landscape(ws);
    worksheet_set_paper(ws, 9); // A4
    worksheet_fit_to_pages(ws, 1, 0);
    worksheet_repeat_rows(ws, RigaIntestazione, RigaIntestazione);
}

} // namespace

void ScriviFoglioXlsx(const TabellaTableau& tabella, const fs::path& file) {
    const FileProvvisorio provvisorio;
    lxw_workbook* libro = workbook_new(provvisorio.Percorso().c_str());
    if (libro == nullptr) {
        throw Errore(errore::AccessoPercorso,
                     "Impossibile creare il foglio di calcolo " + file.filename().string());
    }
    try {
        ScriviFoglio(libro, tabella);
    } catch (...) {
        workbook_close(libro);
        throw;
    }
    if (const lxw_error esito = workbook_close(libro); esito != LXW_NO_ERROR) {
        throw Errore(errore::AccessoPercorso, "Impossibile scrivere il foglio di calcolo " +
                                                  file.filename().string() + " (errore " +
                                                  std::to_string(esito) + " di libxlsxwriter)");
    }
    ScriviFileAtomico(file, LeggiFile(provvisorio.Percorso()));
}

fs::path ConvertiXlsx(std::string_view nome, const fs::path& cartella,
                      std::string_view postazione) {
    const fs::path dato(nome);
    const fs::path ingresso = dato.is_absolute() ? dato : RisolviNome(cartella, nome);
    LettoreRighe righe(ingresso);
    LettoreTabella lettore(SegniDelLocale());
    while (auto riga = righe.Leggi()) {
        lettore.Aggiungi(*riga);
    }
    const fs::path uscita = RisolviNome(cartella, NomeFileXlsx(postazione));
    ScriviFoglioXlsx(lettore.Tabella(), uscita);
    return uscita;
}

} // namespace vdx
