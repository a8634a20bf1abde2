#include "export/scrittura.h"

#include "common/permessi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#ifdef VASTREL_HAVE_XLSX
#include <cstdio>
#include <xlsxwriter.h>
#endif

namespace esportazioni {

#ifndef VASTREL_HAVE_XLSX

bool xlsxDisponibile() { return false; }

std::unique_ptr<Foglio> apriXlsx(const QString& file) {
    throw ErroreFile(QStringLiteral("Il formato xlsx non è disponibile: impossibile scrivere %1")
                         .arg(QFileInfo(file).absoluteFilePath()));
}

#else

bool xlsxDisponibile() { return true; }

namespace {

constexpr int MaxCaratteri = 32767; // the most a cell holds

// One sheet "Esportazione": a bold header row, dates as real dates, numbers as numbers
// (amounts with two decimals), yes/no as "si"/"no". Rows go to disk as they come (constant-memory mode).
class Xlsx final : public Foglio {
public:
    explicit Xlsx(const QString& file) : m_nome(QFileInfo(file).absoluteFilePath()) {
        const QString cartella = QFileInfo(m_nome).absolutePath();
        // The workbook is built under a temporary name in the target folder and renamed
        // into place when complete.
        m_temp.setFileTemplate(cartella + QStringLiteral("/.esportazione-XXXXXX.xlsx"));
        if (!QFileInfo(cartella).isDir() || !m_temp.open())
            throw ErroreFile(QStringLiteral("Impossibile creare il file %1: %2")
                                 .arg(m_nome, QFileInfo(cartella).isDir()
                                                  ? m_temp.errorString()
                                                  : QStringLiteral("la cartella non esiste")));
        m_temp.close();
        m_tempPath = QFile::encodeName(m_temp.fileName());
        // The library's scratch files go to the system's temporary folder: after a failed
        // close it keeps one of them open, which must not pin space on the target's disk.
        m_tmpdir = QFile::encodeName(QDir::tempPath());
        lxw_workbook_options opt{};
        opt.constant_memory = LXW_TRUE;
        opt.tmpdir = m_tmpdir.data();
        opt.use_zip64 = LXW_TRUE;
        m_wb = workbook_new_opt(m_tempPath.constData(), &opt);
        if (!m_wb) throw ErroreFile(QStringLiteral("Impossibile creare il file %1").arg(m_nome));
        m_ws = workbook_add_worksheet(m_wb, "Esportazione");
        m_grassetto = workbook_add_format(m_wb);
        format_set_bold(m_grassetto);
        m_fData = formato("dd/mm/yyyy");
        m_fDataOra = formato("dd/mm/yyyy hh:mm:ss");
        m_fOra = formato("hh:mm");
        m_fImporto = formato("#,##0.00"); // shown as 1.234,50 by an Italian spreadsheet
    }
    ~Xlsx() override {
        if (m_wb) workbook_close(m_wb); // nothing else frees it; the file is dropped below
    }

    void intestazione(const QStringList& nomi) override {
        for (const QString& n : nomi) {
            const QByteArray u = n.toUtf8();
            esito(worksheet_write_string(m_ws, 0, m_col, u.constData(), m_grassetto));
            worksheet_set_column(m_ws, m_col, m_col, 16, nullptr);
            ++m_col;
        }
        fineRiga();
    }
    void testo(std::string_view s) override {
        if (!s.empty()) {
            QByteArray u(s.data(), qsizetype(s.size()));
            if (u.size() > MaxCaratteri) u = QString::fromUtf8(u).left(MaxCaratteri).toUtf8();
            esito(worksheet_write_string(m_ws, m_row, m_col, u.constData(), nullptr));
        }
        ++m_col;
    }
    void intero(long long v) override { numero(double(v), nullptr); }
    void reale(double v) override { numero(v, nullptr); }
    void importo(double v) override { numero(v, m_fImporto); }
    void data(db::CivilTime t) override {
        static const db::CivilTime base = db::civilFromParts(1899, 12, 30);
        int y, mo, d, h, mi, s;
        db::civilToParts(t, y, mo, d, h, mi, s);
        if (y < 1900 && !(y == 1899 && mo == 12 && d == 30)) {
            // Before the spreadsheet calendar: kept as text.
            const QByteArray u = testoData(t).toUtf8();
            testo(std::string_view(u.constData(), size_t(u.size())));
            return;
        }
        double serial = double(t - base) / 86400.0;
        if (t < db::civilFromParts(1900, 3, 1) && y >= 1900) serial -= 1; // the 1900 leap day
        lxw_format* f = (y == 1899) ? m_fOra : (h || mi || s) ? m_fDataOra : m_fData;
        numero(serial, f);
    }
    void sino(bool v) override { testo(v ? "si" : "no"); }
    void vuoto() override { ++m_col; }
    void fineRiga() override {
        ++m_row;
        m_col = 0;
    }
    void chiudi() override {
        const lxw_error err = workbook_close(m_wb);
        m_wb = nullptr;
        if (err != LXW_NO_ERROR)
            throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                                 .arg(m_nome, QString::fromUtf8(lxw_strerror(err))));
        // The temporary file is private; the workbook is not.
        if (!common::applyTargetMode(m_temp.fileName(), m_nome) ||
            std::rename(m_tempPath.constData(), QFile::encodeName(m_nome).constData()) != 0)
            throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                                 .arg(m_nome, QString::fromLocal8Bit(strerror(errno))));
    }

private:
    lxw_format* formato(const char* numFormat) {
        lxw_format* f = workbook_add_format(m_wb);
        format_set_num_format(f, numFormat);
        return f;
    }
    void numero(double v, lxw_format* f) {
        esito(worksheet_write_number(m_ws, m_row, m_col, v, f));
        ++m_col;
    }
    void esito(lxw_error err) {
        if (err == LXW_NO_ERROR) return;
        if (err == LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE)
            throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: troppe righe o "
                                            "colonne per un foglio xlsx").arg(m_nome));
        throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                             .arg(m_nome, QString::fromUtf8(lxw_strerror(err))));
    }

    QString m_nome;
    QTemporaryFile m_temp; // removes the temporary name unless it was renamed away
    QByteArray m_tempPath, m_tmpdir;
    lxw_workbook* m_wb = nullptr;
    lxw_worksheet* m_ws = nullptr;
    lxw_format *m_grassetto = nullptr, *m_fData = nullptr, *m_fDataOra = nullptr,
               *m_fOra = nullptr, *m_fImporto = nullptr;
    lxw_row_t m_row = 0;
    lxw_col_t m_col = 0;
};

} // namespace

std::unique_ptr<Foglio> apriXlsx(const QString& file) { return std::make_unique<Xlsx>(file); }

#endif

} // namespace esportazioni
