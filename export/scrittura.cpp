#include "export/scrittura.h"

#include "db/connection.h"
#include "db/error.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <charconv>

namespace esportazioni {

QString nomeFileUscita(const QString& scelto, Formato formato) {
    const qsizetype slash = std::max(scelto.lastIndexOf(u'/'), scelto.lastIndexOf(u'\\'));
    const qsizetype dot = scelto.lastIndexOf(u'.');
    // A leading dot names a hidden file, it does not start an extension.
    const QString base = dot > slash + 1 ? scelto.left(dot) : scelto;
    return base + (formato == Formato::Xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv"));
}

namespace {

char* two(char* p, int v) {
    *p++ = char('0' + v / 10 % 10);
    *p++ = char('0' + v % 10);
    return p;
}

// Writes testoData's text into `out` (at least 19 bytes); returns its end.
char* formatData(db::CivilTime t, char* out) {
    int y, mo, d, h, mi, s;
    db::civilToParts(t, y, mo, d, h, mi, s);
    char* p = out;
    if (y == 1899 && mo == 12 && d == 30) { // a time with no date
        p = two(p, h);
        *p++ = ':';
        return two(p, mi);
    }
    p = two(p, d);
    *p++ = '/';
    p = two(p, mo);
    *p++ = '/';
    p = two(p, y / 100);
    p = two(p, y % 100);
    if (h == 0 && mi == 0 && s == 0) return p;
    *p++ = ' ';
    p = two(p, h);
    *p++ = ':';
    p = two(p, mi);
    *p++ = ':';
    return two(p, s);
}

QString nativo(const QString& file) { return QFileInfo(file).absoluteFilePath(); }

// Why writing `bytes` into `f` failed: the system's own reason is English, or "Unknown error"
// when the save file fails at its commit, and a full disk is the cause a user can mend.
QString motivo(const QFileDevice& f, qint64 bytes) {
    const QStorageInfo disco(QFileInfo(f.fileName()).absolutePath());
    if (disco.isValid() && disco.bytesAvailable() < bytes) return QStringLiteral("spazio su disco esaurito");
    return f.errorString();
}

// The text file: every value followed by ";", every row by a line feed; texts between
// double quotes with inner quotes doubled, so ";", quotes and line breaks read back.
class Csv final : public Foglio {
public:
    explicit Csv(const QString& file) : m_file(file), m_nome(file) {
        if (!m_file.open(QIODevice::WriteOnly))
            throw ErroreFile(QStringLiteral("Impossibile creare il file %1: %2")
                                 .arg(nativo(m_nome), m_file.errorString()));
        m_buf.reserve(Soglia + 4096);
        m_buf.append("\xEF\xBB\xBF"); // spreadsheet programs read UTF-8 only with the mark
    }

    void intestazione(const QStringList& nomi) override {
        for (const QString& n : nomi) {
            const QByteArray u = n.toUtf8();
            if (u.contains(';') || u.contains('"') || u.contains('\n') || u.contains('\r'))
                testo(std::string_view(u.constData(), size_t(u.size())));
            else
                m_buf.append(u).append(';');
        }
        fineRiga();
    }
    void testo(std::string_view s) override {
        m_buf.append('"');
        size_t from = 0;
        for (size_t q = s.find('"'); q != std::string_view::npos; q = s.find('"', q + 1)) {
            m_buf.append(s.data() + from, qsizetype(q - from + 1)).append('"');
            from = q + 1;
        }
        m_buf.append(s.data() + from, qsizetype(s.size() - from)).append("\";", 2);
    }
    void intero(long long v) override {
        char b[24];
        const auto r = std::to_chars(b, b + sizeof b, v);
        m_buf.append(b, r.ptr - b).append(';');
    }
    void reale(double v) override {
        // Like the platform's float-to-text: 15 significant digits, decimal comma.
        char b[40];
        const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::general, 15);
        for (char* p = b; p != r.ptr; ++p)
            if (*p == '.') *p = ',';
        m_buf.append(b, r.ptr - b).append(';');
    }
    void data(db::CivilTime t) override {
        char b[24];
        m_buf.append(b, formatData(t, b) - b).append(';');
    }
    void sino(bool v) override { m_buf.append(v ? "si;" : "no;", 3); }
    void vuoto() override { m_buf.append(';'); }
    void fineRiga() override {
        m_buf.append('\n');
        if (m_buf.size() >= Soglia) scarica();
    }
    void chiudi() override {
        scarica();
        if (!m_file.commit())
            throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                                 .arg(nativo(m_nome), motivo(m_file, m_scritti)));
    }

private:
    static constexpr qsizetype Soglia = 1 << 20;
    void scarica() {
        if (m_buf.isEmpty()) return;
        if (m_file.write(m_buf) != m_buf.size()) {
            const QString why = motivo(m_file, m_scritti + m_buf.size());
            m_file.cancelWriting();
            throw ErroreFile(
                QStringLiteral("Impossibile scrivere il file %1: %2").arg(nativo(m_nome), why));
        }
        m_scritti += m_buf.size();
        m_buf.clear();
    }
    QSaveFile m_file; // discards the temporary file unless committed
    QString m_nome;
    QByteArray m_buf;
    qint64 m_scritti = 0; // bytes handed to the file so far
};

bool senzaTesto(const db::ColumnInfo& col) {
    return col.type == db::FieldType::Blob || col.autoNumber;
}

} // namespace

QString testoData(db::CivilTime t) {
    char b[24];
    return QString::fromLatin1(b, formatData(t, b) - b);
}

std::unique_ptr<Foglio> apriCsv(const QString& file) { return std::make_unique<Csv>(file); }

Esportazione::Esportazione(db::Connection& c, QString jetSelect, QStringList spuntati)
    : m_c(c), m_select(std::move(jetSelect)), m_spuntati(std::move(spuntati)) {
    db::RowStore primo;
    c.load(QStringLiteral("SELECT TOP 1 * FROM (") + m_select + u')', primo);
    m_colonne = primo.columnInfos();
    m_vuota = primo.rowCount() == 0;
    for (int i = 0; i < int(m_colonne.size()); ++i)
        if (m_spuntati.contains(m_colonne[size_t(i)].name) && !senzaTesto(m_colonne[size_t(i)]))
            m_scritte.push_back(i);
}

QStringList Esportazione::intestazione() const {
    QStringList out;
    for (int i : m_scritte) out.append(m_colonne[size_t(i)].name);
    return out;
}

qint64 Esportazione::scrivi(const QString& file, Formato formato) {
    std::unique_ptr<Foglio> f = formato == Formato::Xlsx ? apriXlsx(file) : apriCsv(file);
    const qint64 n = scrivi(*f);
    f->chiudi();
    return n;
}

qint64 Esportazione::scrivi(Foglio& foglio) {
    foglio.intestazione(intestazione());
    db::Cursor cur(m_c, m_select);
    if (cur.columns().size() != m_colonne.size())
        throw db::DatabaseError(QStringLiteral("Le colonne della tabella sono cambiate durante "
                                               "l'esportazione"));
    qint64 righe = 0;
    while (cur.next()) {
        for (int c : m_scritte) {
            const db::FieldType tipo = m_colonne[size_t(c)].type;
            if (cur.isNull(c)) {
                if (db::isTextual(tipo)) foglio.testo({});
                else if (tipo == db::FieldType::Bool) foglio.sino(false);
                else foglio.vuoto();
                continue;
            }
            switch (tipo) {
            case db::FieldType::Bool:
                foglio.sino(cur.integer(c) != 0);
                break;
            case db::FieldType::Integer:
                foglio.intero(cur.integer(c));
                break;
            case db::FieldType::Double:
                if (m_colonne[size_t(c)].currency) foglio.importo(cur.real(c));
                else foglio.reale(cur.real(c));
                break;
            case db::FieldType::Date: {
                const std::string_view s = cur.text(c);
                if (const auto t = db::parseStoredDate(s)) foglio.data(*t);
                else foglio.testo(s); // not a stored date: keep what is there
                break;
            }
            default:
                foglio.testo(cur.text(c));
            }
        }
        foglio.fineRiga();
        ++righe;
    }
    return righe;
}

} // namespace esportazioni
