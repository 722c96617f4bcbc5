#pragma once

// Read-only access to the suite's Access files, in the shape the suite's code
// uses them: OpenDatabase, OpenRecordset (dynaset), Sort + reopen, FindFirst /
// FindNext / FindLast, NoMatch, field values by name, Close.
//
// Errors are thrown as vdx::Errore with the number and a text that names the
// file, table or field:
//   DatabaseNonTrovato      the file is missing
//   PermessoNegato          the user may not read the file
//   FormatoNonRiconosciuto  the file cannot be read, is not an Access file or
//                           is damaged
//   TabellaNonTrovata       no such table in the file
//   CampoNonTrovato         no such field in the table
//   SintassiCriterio        a search criterion not understood (with its
//                           position)
//   SintassiSelezione       a selection or sort text not understood
//   NessunRecordCorrente    a field read with no current record
// Searches follow the rules of Criteri.h (what is written, what is compared
// how).

#include "jet/Valore.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vdx::jet {

class Recordset; // a dynaset over a table's rows
class Archivi;   // the files of one run

class Database {
public:
    // Opens `nome` (bare file name, found without regard to letter case) in
    // `cartella` and reads its list of tables. A table's rows are read from the
    // file when a record set first needs them, all of them at once; a record
    // is then decoded from its page, the page checked to be as it was at that
    // reading (see Tabella.h), so the records are the file as it was then.
    static std::shared_ptr<Database> OpenDatabase(const std::filesystem::path& cartella,
                                                  std::string_view nome);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // A dynaset over a table name or one of the selection texts the system
    // uses:  Select * From T [Where criteria] [Order by F][;]
    // and    ... Where F In (Select C From T2 In 'file.mdb' Where criteria)[;]
    // Anything else is refused (vdx::Errore SintassiSelezione). The inner select's
    // file is looked for in this database's folder, as it is at this moment.
    // Record sets on the same table share its rows (read from the file once)
    // and its search indexes; each keeps its own current record. The
    // table's definition is read here; its rows when first needed (a search,
    // a count, a field), so damage in them is reported then.
    Recordset OpenRecordset(std::string_view origine);

    std::vector<std::string> NomiTabelle() const; // user tables, as stored
    const std::filesystem::path& Percorso() const;
    // Lets the file go. Record sets already open keep their records; opening
    // new ones is an error (ChiamataNonValida).
    void Close();

    struct Impl;

private:
    explicit Database(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    friend class Archivi;
};

// The data files of one run (a command, or one "Stampa" of the window): each
// opened at its first use and kept until the run ends, and each table read
// once, so that every step of the run sees the same reading of the files,
// even while the suite rewrites them. The inner select of a record set
// opened on one of its databases ("In 'TipiCamere.mdb'") takes its file from
// it too. One thread at a time.
class Archivi {
public:
    explicit Archivi(std::filesystem::path cartella);
    ~Archivi();
    Archivi(const Archivi&) = delete;
    Archivi& operator=(const Archivi&) = delete;

    // The database `nome` of the folder (a bare file name, found without
    // regard to letter case): opened by the first call, the same one after.
    std::shared_ptr<Database> Apri(std::string_view nome);
    const std::filesystem::path& Cartella() const;

    struct Stato;

private:
    static std::shared_ptr<Database> ApriIn(const std::shared_ptr<Stato>& stato,
                                            std::string_view nome);
    std::shared_ptr<Stato> stato_;
    friend struct Database::Impl;
};

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Finds move the current record to the first / next (forward from the
    // current record; from the start when there is none) / last record that
    // satisfies the criteria text; on no match NoMatch() is true and the
    // current record is not to be used (it stays where it was, so a later
    // FindNext goes on from there). They return !NoMatch(). The criteria
    // texts are those of Criteri.h; a syntax error is vdx::Errore
    // SintassiCriterio with its position, an unknown field CampoNonTrovato.
    bool FindFirst(std::string_view criterio);
    bool FindNext(std::string_view criterio);
    bool FindLast(std::string_view criterio);
    bool NoMatch() const;

    // Field of the current record by name, without regard to letter case.
    // Unknown field: vdx::Errore CampoNonTrovato naming it. No current record:
    // vdx::Errore NessunRecordCorrente.
    Valore Campo(std::string_view nome) const;
    std::string Testo(std::string_view nome) const { return Campo(nome).ComeTesto(); }
    double Numero(std::string_view nome) const { return Campo(nome).ComeNumero(); }
    std::int64_t Denaro(std::string_view nome) const { return Campo(nome).ComeDenaro(); }

    // Sort text such as "[NumeroCamera]" or "NumeroCamera, Codice DESC" for
    // the next OpenRecordset(); the reopened set is in that order (stable;
    // text by character codes, numbers by value, NULL first).
    void Sort(std::string_view ordine);
    Recordset OpenRecordset() const;

    // Plain walking, for tools: records in the set's order.
    std::size_t RecordCount() const;
    void MoveFirst();
    void MoveNext();
    bool Fine() const; // past the last record (or empty)
    std::vector<std::string> NomiCampi() const;
    std::vector<TipoCampo> TipiCampi() const;

    // Finds look the equality fields of a criterion up in an index built on
    // first use (the default); off, every Find scans. For measurements.
    void UsaIndici(bool si);

    // A closed (or default-made) record set refuses everything with
    // vdx::Errore ChiamataNonValida.
    bool Aperto() const;
    void Close();

    struct Impl;

private:
    explicit Recordset(std::unique_ptr<Impl> impl);
    Impl& Vivo() const;
    std::unique_ptr<Impl> impl_;
    friend class Database;
};

} // namespace vdx::jet
