#pragma once

// Criteria checked against a table's rows, and the ordered sets of rows
// that record sets walk, with the equality indexes that make a search cost
// O(log n + matches) instead of a scan.

#include "jet/AnalisiCriteri.h"
#include "jet/Tabella.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace vdx::jet {

// One comparison with its value prepared for the column's kind, to be
// compared as Criteri.h says.
struct Confronto {
    enum class Modo { Testo, Intero, Reale };
    int colonna = -1;
    Operatore op = Operatore::Uguale;
    Modo modo = Modo::Testo;
    bool denaro = false; // a Currency field: its stored integer is in ten-thousandths
    std::string testo;
    bool esatto = false;     // Intero: `intero` holds the value exactly
    std::int64_t intero = 0; // ten-thousandths
    double reale = 0;

    static Confronto Prepara(const CampoTabella& c, int colonna, Operatore op, const Letterale& v);
    // `buffer`: room for a text that must be decoded.
    bool Soddisfatto(const Riga& r, std::string& buffer) const;
    // The equality key of the value for the column, or nullopt when no stored
    // value can equal it (1.5 for an Integer field).
    std::optional<std::string> Chiave() const;
};

// The key under which the stored value of column `colonna` of a row is found
// by equality (see Confronto).
std::string ChiaveCella(const CampoTabella& c, const Riga& r, std::size_t colonna,
                        std::string& buffer);

// A criterion whose field names are resolved against one table.
class CriterioRisolto {
public:
    // Unknown field names: vdx::Errore CampoNonTrovato.
    CriterioRisolto(const std::vector<Termine>& termini, const Tabella& t);

    // field In (values): `valori` are the values of the inner selection.
    void AggiungiAppartenenza(const Tabella& t, int colonna, const std::vector<Valore>& valori);

    // Whether a row satisfies it; `buffer`: room for a text that must be
    // decoded. Safe on several threads at once, each with its own buffer.
    bool Soddisfa(const Riga& r, std::string& buffer) const;

    // The fields compared with "=", in column order, and the hash of their
    // values (nullopt: nothing can match).
    const std::vector<int>& ColonneChiave() const { return colonneChiave_; }
    std::optional<std::uint64_t> HashChiave() const { return hash_; }

private:
    std::vector<Confronto> confronti_;
    struct Appartenenza {
        int colonna;
        CampoTabella campo;
        std::unordered_set<std::string> chiavi;
    };
    std::vector<Appartenenza> appartenenze_;
    std::vector<int> colonneChiave_;
    std::optional<std::uint64_t> hash_;
};

// An ordered set of a table's rows: the records of one dynaset. Record sets
// opened on the same source share it, with its indexes.
class Vista {
public:
    explicit Vista(std::shared_ptr<const Tabella> tabella); // every row, as stored
    Vista(std::shared_ptr<const Tabella> tabella, std::vector<std::uint32_t> righe);
    // Every row, in the order of `ordine` (see Ordina()), worked out when first
    // needed: when that is a search through an index, by the same reading of
    // the table that works out the index. Unknown fields: CampoNonTrovato.
    Vista(std::shared_ptr<const Tabella> tabella, const std::vector<Ordinamento>& ordine);

    // The table whose rows these are.
    const Tabella& Base() const { return *tabella_; }
    const std::shared_ptr<const Tabella>& BaseCondivisa() const { return tabella_; }
    // How many records (for every row of a table, counted by reading it).
    std::size_t NumeroRighe() const {
        return tutte_ || !ordinata_.load(std::memory_order_acquire) ? tabella_->NumeroRighe()
                                                                    : righe_.size();
    }
    std::size_t RigaNumero(std::size_t pos) const { return tutte_ ? pos : RigheInOrdine()[pos]; }

    static constexpr std::size_t nessuna = static_cast<std::size_t>(-1);

    // Where the last search through an index ended, so that the next one
    // from the following record goes on from there (FindNext) instead of
    // looking the key up again. One per record set.
    struct Segno {
        const void* indice = nullptr;
        std::size_t voce = 0;
    };

    // The first position >= da (avanti) or <= da (indietro) whose row
    // satisfies the criterion, or `nessuna`. With usaIndice, the equality
    // fields are looked up in an index built on first use.
    std::size_t Trova(const CriterioRisolto& c, std::size_t da, bool avanti, bool usaIndice,
                      Segno* segno = nullptr) const;

    // The rows (table row numbers) that satisfy the criterion, in set order.
    std::vector<std::uint32_t> Filtra(const CriterioRisolto& c) const;

    // The rows in the order of the sort fields (stable; NULL first).
    std::vector<std::uint32_t> Ordina(const std::vector<Ordinamento>& ordine) const;

private:
    struct Indice {
        VettoreColonna<std::pair<std::uint32_t, std::uint32_t>> voci; // (hash, position), sorted
    };
    const Indice& IndiceSu(const std::vector<int>& colonne) const;
    VettoreColonna<std::uint32_t> HashPerPosizione(const std::vector<int>& colonne) const;
    // The table's row numbers in the set's order, worked out first if the
    // order waits.
    const std::vector<std::uint32_t>& RigheInOrdine() const {
        if (!ordinata_.load(std::memory_order_acquire)) {
            OrdinaOra(nullptr, nullptr);
        }
        return righe_;
    }
    // Works out the waiting order; with `campi`, the index hash of those
    // fields for each row too, into `hash`, in the same reading.
    void OrdinaOra(const std::vector<int>* campi, VettoreColonna<std::uint32_t>* hash) const;
    std::vector<std::uint32_t> OrdinaPerCampi(const std::vector<std::pair<int, bool>>& campi) const;
    bool PerTabella() const;
    std::size_t CercaNellIndice(const CriterioRisolto& c, std::size_t da, bool avanti,
                                Segno* segno) const;
    ColonnaLetta ChiaviDi(int colonna) const;

    std::shared_ptr<const Tabella> tabella_;
    bool tutte_ = true;
    mutable std::vector<std::uint32_t> righe_;
    std::vector<std::pair<int, bool>> ordine_; // the order that waits: (field, descending)
    mutable std::atomic<bool> ordinata_{true};
    mutable std::mutex mutexOrdine_;
    mutable std::mutex mutex_;
    mutable std::map<std::vector<int>, std::unique_ptr<Indice>> indici_;
};

} // namespace vdx::jet
