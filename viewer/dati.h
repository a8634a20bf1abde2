#pragma once

#include "db/rowstore.h"
#include "viewer/layout.h"

#include <QImage>
#include <QString>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace stampa {

// One record set of a report (the main rows, a sub-report's, the company's): its rows, a
// case-insensitive index of its column names and the layout's computed columns, which
// follow the real ones.
class RecordSet {
public:
    explicit RecordSet(db::RowStore righe, const std::vector<Calcolato>& calcolati = {});

    const db::RowStore& store() const { return m_righe; }
    int conteggio() const { return m_righe.rowCount(); }
    int colonne() const { return m_righe.columnCount() + int(m_calcolati.size()); }
    bool calcolata(int c) const { return c >= m_righe.columnCount(); }
    QString nome(int c) const;
    db::FieldType tipo(int c) const;
    // -1 when the record set has no such column; the name's case is ignored.
    int colonna(std::string_view nome) const;
    int colonna(const QString& nome) const { return colonna(nome.toUtf8().toStdString()); }

    bool nullo(int riga, int c) const;
    // The number of a numeric, yes/no or computed column; nullopt for Null or text.
    std::optional<double> numero(int riga, int c) const;
    // The value as a report prints it, in Italian: dates dd/mm/yyyy (with hh:mm when the
    // time is not midnight), amounts with two decimals and ",", yes/no "Sì"/"No". Empty
    // for Null and for pictures.
    QString testo(int riga, int c) const;
    // Raw bytes of a picture column (empty when Null).
    std::string_view bytes(int riga, int c) const;

private:
    struct Calcolo {
        QString nome;
        std::vector<std::pair<bool, int>> fattori; // (divide, column or -1)
        std::vector<double> numeri;                // the number where column is -1
    };
    db::RowStore m_righe;
    std::vector<Calcolo> m_calcolati;
    std::unordered_map<std::string, int> m_indice;
};

// Formatting shared by the templates and the CSV export.
QString formattaImporto(double v);                  // "1.234,50"
QString formattaNumero(double v);                   // "12,5", "150"
QString formattaData(db::CivilTime t, bool conOra); // "15/03/2024", "15/03/2024 18:30"
QString formattaSiNo(bool v);                       // "Sì" / "No"

// A column that orders groups; `settimana` orders Italian weekday names (lunedì first).
struct Ordine {
    int colonna = -1;
    bool settimana = false;
};

// The rows of a record set gathered by the values of some columns: groups in the order their
// first row appears, or ordered by `ordini` (Italian collation for text). Rows inside a group
// keep the query's order.
std::vector<std::vector<int>> raggruppa(const RecordSet& rs, const std::vector<int>& colonne,
                                        const std::vector<Ordine>& ordini);

} // namespace stampa
