#pragma once

#include "db/datetime.h"
#include "db/rowstore.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace db {
class Connection;
}

// Writing the rows of an export to a file: a semicolon-separated text file (UTF-8 with a
// byte-order mark, RFC 4180 quoting) or an .xlsx workbook. Files are written beside their
// final name and renamed into place only when complete, so a failed export never leaves a
// half-written file behind.
namespace esportazioni {

enum class Formato { Csv, Xlsx };

// Whether this build can write .xlsx workbooks.
bool xlsxDisponibile();

// A file that could not be written; the text names the file and the reason.
class ErroreFile : public std::runtime_error {
public:
    explicit ErroreFile(const QString& testo)
        : std::runtime_error(testo.toStdString()), m_testo(testo) {}
    const QString& testo() const noexcept { return m_testo; }

private:
    QString m_testo;
};

// The file to write: the chosen path with only the extension of its file name replaced
// by ".csv" or ".xlsx" (a dot in a folder name is left alone).
QString nomeFileUscita(const QString& scelto, Formato formato);

// Where the rows go, value by value; every value of a row in column order.
class Foglio {
public:
    virtual ~Foglio() = default;
    virtual void intestazione(const QStringList& nomi) = 0;
    virtual void testo(std::string_view utf8) = 0; // Null text: empty
    virtual void intero(long long v) = 0;
    virtual void reale(double v) = 0;
    // An amount in euro (a CURRENCY column): a number like any other unless the file has
    // number formats.
    virtual void importo(double v) { reale(v); }
    virtual void data(db::CivilTime t) = 0;
    virtual void sino(bool v) = 0;
    virtual void vuoto() = 0; // a Null date or number
    virtual void fineRiga() = 0;
    // Completes the file and puts it in place. Throws ErroreFile.
    virtual void chiudi() = 0;
};

// Throw ErroreFile when the file cannot be started.
std::unique_ptr<Foglio> apriCsv(const QString& file);
std::unique_ptr<Foglio> apriXlsx(const QString& file);

// The date and time as the text file writes it: dd/MM/yyyy for a plain date, hh:mm for a
// time alone (day 30/12/1899), dd/MM/yyyy hh:mm:ss otherwise.
QString testoData(db::CivilTime t);

// One export: the rows of a Jet select, the ticked columns among them.
class Esportazione {
public:
    // Reads the first row to learn the columns and their types. Throws db::DatabaseError
    // when the statement does not run.
    Esportazione(db::Connection& c, QString jetSelect, QStringList spuntati);

    bool vuota() const { return m_vuota; }
    // The ticked columns that are written, in result order. Pictures and auto-numbers
    // have no text form and are left out of the header as well as of the rows, so the
    // header always matches the values beneath it.
    QStringList intestazione() const;

    // Streams every row into the file; returns the rows written. Throws ErroreFile, or
    // db::DatabaseError when the rows cannot be read; either way no file is left.
    qint64 scrivi(const QString& file, Formato formato);
    // The same into any destination (benchmarks, tests).
    qint64 scrivi(Foglio& foglio);

private:
    db::Connection& m_c;
    QString m_select;
    QStringList m_spuntati;
    std::vector<db::ColumnInfo> m_colonne;
    std::vector<int> m_scritte; // result columns written, in order
    bool m_vuota = true;
};

} // namespace esportazioni
