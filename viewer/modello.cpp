#include "viewer/modello.h"

#include "db/collation.h"
#include "db/datetime.h"
#include "viewer/errore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <deque>
#include <kainjow/mustache.hpp>
#include <map>
#include <memory>
#include <unordered_map>

namespace stampa {
namespace {

namespace km = kainjow::mustache;
using Dato = km::data;
using Modello = km::mustache;

constexpr std::string_view kPrefissoImmagine = "vastrel-img:";

// Values print as typed: markup characters become entities, line breaks become <br>.
std::string escapeHtml(const std::string& s) {
    std::string out;
    out.reserve(s.size() + 16);
    for (const char ch : s) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        case '\n':
            out += "<br>";
            break;
        case '\r':
            break;
        default:
            out += ch;
        }
    }
    return out;
}

// kainjow writes through operator<<; this appends to one string without a stream.
struct Accumulo {
    std::string& s;
    Accumulo& operator<<(const std::string& x) {
        s += x;
        return *this;
    }
};

std::string utf8(const QString& s) {
    return s.toStdString();
}

bool inizia(std::string_view s, std::string_view prefisso) {
    return s.size() > prefisso.size() && s.substr(0, prefisso.size()) == prefisso;
}

// A range of main rows: the whole report or one group.
struct Ambito {
    const RecordSet* rs = nullptr;
    const std::vector<int>* righe = nullptr; // nullptr: every row
    int size() const { return righe ? int(righe->size()) : (rs ? rs->conteggio() : 0); }
    int at(int i) const { return righe ? (*righe)[size_t(i)] : i; }
};

struct Frame {
    enum class Tipo { Dati, Riga, Ambito } tipo = Tipo::Dati;
    const Dato* dati = nullptr;
    const RecordSet* rs = nullptr;
    int riga = -1;
    const Ambito* ambito = nullptr;
    bool radice = false;
};

class Contesto final : public km::basic_context<std::string> {
public:
    Contesto(const Layout& layout, const Sorgenti& sorgenti, std::vector<Immagine>& immagini)
        : m_layout(layout), m_sorgenti(sorgenti), m_immagini(immagini) {
        m_radice.rs = sorgenti.principale;
    }

    void pushRadice() {
        Frame f;
        f.tipo = Frame::Tipo::Ambito;
        f.ambito = &m_radice;
        f.radice = true;
        m_frames.push_back(f);
    }

    void push(const Dato* d) override {
        Frame f;
        f.dati = d;
        m_frames.push_back(f);
    }
    void pop() override { m_frames.pop_back(); }

    const Dato* get(const std::string& nome) const override {
        if (nome == ".") {
            if (!m_frames.empty() && m_frames.back().tipo == Frame::Tipo::Dati)
                return m_frames.back().dati;
            return nullptr;
        }
        for (auto it = m_frames.rbegin(); it != m_frames.rend(); ++it)
            if (const Dato* d = risolvi(*it, nome)) return d;
        return nullptr;
    }

    const Dato* get_partial(const std::string& nome) const override {
        auto it = m_parti.find(nome);
        if (it != m_parti.end()) return &it->second;
        const QString file =
            QFileInfo(m_layout.percorso)
                .dir()
                .filePath(QString::fromStdString(nome) + QStringLiteral(".mustache"));
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            segnala(QStringLiteral("manca la parte \"%1\" (%2)")
                        .arg(QString::fromStdString(nome), file));
            return nullptr;
        }
        return &m_parti.emplace(nome, Dato(f.readAll().toStdString())).first->second;
    }

    const std::optional<QString>& errore() const { return m_errore; }

    Modello& compila(const std::string& testo) const {
        auto it = m_modelli.find(testo);
        if (it == m_modelli.end()) {
            auto m = std::make_unique<Modello>(testo);
            m->set_custom_escape(escapeHtml);
            if (!m->is_valid()) segnala(QString::fromStdString(m->error_message()));
            it = m_modelli.emplace(testo, std::move(m)).first;
        }
        return *it->second;
    }

private:
    void segnala(const QString& testo) const {
        if (!m_errore) m_errore = testo;
    }

    const Dato* tieni(Dato d) const {
        m_tmp.push_back(std::move(d));
        return &m_tmp.back();
    }
    const Dato* falso() const { return tieni(Dato(Dato::type::bool_false)); }
    const Dato* vero() const { return tieni(Dato(Dato::type::bool_true)); }
    const Dato* testo(const QString& s) const {
        return s.isEmpty() ? falso() : tieni(Dato(utf8(s)));
    }

    // Renders a section's text once per frame given by `frameDi(i)`, i < n.
    template <typename F> std::string ripeti(const std::string& testo, int n, F frameDi) const {
        Modello& m = compila(testo);
        std::string out;
        Accumulo acc{out};
        for (int i = 0; i < n && m.is_valid(); ++i) {
            const size_t segno = m_tmp.size();
            m_frames.push_back(frameDi(i));
            m.render(const_cast<Contesto&>(*this), acc);
            m_frames.pop_back();
            while (m_tmp.size() > segno)
                m_tmp.pop_back();
        }
        if (!m.is_valid()) segnala(QString::fromStdString(m.error_message()));
        return out;
    }

    const Dato* sezioneRighe(const RecordSet* rs, const Ambito* ambito) const {
        int n = ambito ? ambito->size() : (rs ? rs->conteggio() : 0);
        if (n == 0) return falso();
        if (m_sorgenti.limite > 0) n = std::min(n, m_sorgenti.limite);
        return tieni(
            Dato(km::lambda2([this, rs, ambito, n](const std::string& t, const km::renderer&) {
                return ripeti(t, n, [&](int i) {
                    Frame f;
                    f.tipo = Frame::Tipo::Riga;
                    f.rs = ambito ? ambito->rs : rs;
                    f.riga = ambito ? ambito->at(i) : i;
                    return f;
                });
            })));
    }

    const Dato* sezioneGruppi() const {
        if (!m_gruppiPronti) {
            m_gruppiPronti = true;
            const RecordSet* rs = m_radice.rs;
            if (rs && rs->conteggio() > 0) {
                std::vector<int> colonne;
                for (const QString& nome : m_layout.gruppo) {
                    const int c = rs->colonna(nome);
                    if (c < 0)
                        segnala(QStringLiteral("la colonna di raggruppamento \"%1\" non esiste")
                                    .arg(nome));
                    else
                        colonne.push_back(c);
                }
                std::vector<Ordine> ordini;
                for (QString nome : m_layout.ordineGruppi) {
                    Ordine o;
                    if (nome.endsWith(QStringLiteral(":settimana"), Qt::CaseInsensitive)) {
                        o.settimana = true;
                        nome.chop(10);
                    }
                    o.colonna = rs->colonna(nome.trimmed());
                    if (o.colonna < 0)
                        segnala(QStringLiteral("la colonna di ordinamento \"%1\" non esiste")
                                    .arg(nome));
                    else
                        ordini.push_back(o);
                }
                m_gruppi = raggruppa(*rs, colonne, ordini);
                for (const auto& g : m_gruppi)
                    m_ambitiGruppi.push_back(Ambito{rs, &g});
            }
        }
        if (m_ambitiGruppi.empty()) return falso();
        int n = int(m_ambitiGruppi.size());
        if (m_sorgenti.limite > 0) n = std::min(n, m_sorgenti.limite);
        return tieni(Dato(km::lambda2([this, n](const std::string& t, const km::renderer&) {
            return ripeti(t, n, [&](int i) {
                Frame f;
                f.tipo = Frame::Tipo::Ambito;
                f.ambito = &m_ambitiGruppi[size_t(i)];
                return f;
            });
        })));
    }

    const Dato* immagineDaBytes(const RecordSet* rs, int riga, int c) const {
        const auto chiave = std::make_tuple(rs, riga, c);
        auto it = m_indiceImmagini.find(chiave);
        if (it == m_indiceImmagini.end()) {
            const std::string_view b = rs->bytes(riga, c);
            Immagine im;
            im.dati = QByteArray(b.data(), qsizetype(b.size()));
            im.immagine = QImage::fromData(im.dati);
            int indice = -1;
            if (!im.immagine.isNull()) {
                indice = int(m_immagini.size());
                m_immagini.push_back(std::move(im));
            }
            it = m_indiceImmagini.emplace(chiave, indice).first;
        }
        return it->second < 0 ? falso() : testo(urlImmagine(it->second));
    }

    const Dato* immagineDaFile(const QString& percorso) const {
        auto it = m_fileImmagini.find(percorso);
        if (it == m_fileImmagini.end()) {
            int indice = -1;
            QFile f(percorso);
            if (!percorso.isEmpty() && f.open(QIODevice::ReadOnly)) {
                Immagine im;
                im.dati = f.readAll();
                im.immagine = QImage::fromData(im.dati);
                if (!im.immagine.isNull()) {
                    indice = int(m_immagini.size());
                    m_immagini.push_back(std::move(im));
                }
            }
            it = m_fileImmagini.emplace(percorso, indice).first;
        }
        return it->second < 0 ? falso() : testo(urlImmagine(it->second));
    }

    const Dato* cella(const RecordSet* rs, int r, int c) const {
        if (rs->nullo(r, c)) return falso();
        if (rs->tipo(c) == db::FieldType::Blob) return immagineDaBytes(rs, r, c);
        return testo(rs->testo(r, c));
    }

    // A column of a row, or a form of it: "Data.data", "Data.ora", "Data.anno",
    // "Omaggi.si", "QTA_GRAMMI.numero", "Immagine.immagine".
    const Dato* valoreRiga(const RecordSet* rs, int r, std::string_view nome) const {
        if (!rs || r < 0 || r >= rs->conteggio()) return nullptr;
        int c = rs->colonna(nome);
        if (c >= 0) return cella(rs, r, c);
        // "Tel|Cell": whether any of the columns has a value.
        if (nome.find('|') != std::string_view::npos) {
            size_t da = 0;
            while (da <= nome.size()) {
                const size_t a = std::min(nome.find('|', da), nome.size());
                const int k = rs->colonna(nome.substr(da, a - da));
                if (k >= 0 && !rs->nullo(r, k) && !rs->testo(r, k).isEmpty()) return vero();
                if (k >= 0 && rs->tipo(k) == db::FieldType::Blob && !rs->nullo(r, k)) return vero();
                da = a + 1;
            }
            return falso();
        }
        // "Sesso=F": whether the value is that text (case and accents ignored).
        if (const size_t uguale = nome.find('='); uguale != std::string_view::npos) {
            c = rs->colonna(nome.substr(0, uguale));
            if (c < 0) return nullptr;
            return db::text::equal(rs->testo(r, c).toStdString(), nome.substr(uguale + 1))
                       ? vero()
                       : falso();
        }
        const size_t punto = nome.rfind('.');
        if (punto == std::string_view::npos) return nullptr;
        c = rs->colonna(nome.substr(0, punto));
        if (c < 0) return nullptr;
        const std::string_view forma = nome.substr(punto + 1);
        const db::FieldType tipo = rs->tipo(c);
        const bool data = tipo == db::FieldType::Date && !rs->calcolata(c);
        if (forma == "si") {
            if (tipo == db::FieldType::Bool) {
                const std::optional<double> v = rs->numero(r, c);
                return v && *v != 0 ? vero() : falso();
            }
            return rs->nullo(r, c) || rs->testo(r, c).isEmpty() ? falso() : vero();
        }
        if (rs->nullo(r, c)) return falso();
        if (forma == "data" && data) return testo(formattaData(rs->store().date(r, c), false));
        if ((forma == "ora" || forma == "anno") && data) {
            const QDateTime dt = db::qDateTimeFromCivil(rs->store().date(r, c));
            return testo(forma == "ora" ? dt.toString(QStringLiteral("HH:mm"))
                                        : QString::number(dt.date().year()));
        }
        if (forma == "numero") {
            const std::optional<double> v = rs->numero(r, c);
            return v ? testo(formattaNumero(*v)) : testo(rs->testo(r, c));
        }
        if (forma == "immagine") {
            if (tipo == db::FieldType::Blob) return immagineDaBytes(rs, r, c);
            return immagineDaFile(rs->testo(r, c));
        }
        return nullptr;
    }

    // The row of the scope with the smallest (or largest) non-Null value of a column; -1
    // when every value is Null.
    static int estremo(const RecordSet& rs, const Ambito& a, int c, bool minimo) {
        int scelta = -1;
        const bool testuale = !rs.calcolata(c) && db::isTextual(rs.tipo(c));
        const bool data = !rs.calcolata(c) && rs.tipo(c) == db::FieldType::Date;
        for (int i = 0; i < a.size(); ++i) {
            const int r = a.at(i);
            if (rs.nullo(r, c)) continue;
            if (scelta < 0) {
                scelta = r;
                continue;
            }
            int d;
            if (testuale)
                d = db::text::compare(rs.store().text(r, c), rs.store().text(scelta, c));
            else if (data)
                d = rs.store().date(r, c) < rs.store().date(scelta, c)
                        ? -1
                        : (rs.store().date(r, c) > rs.store().date(scelta, c) ? 1 : 0);
            else
                d = rs.numero(r, c).value_or(0) < rs.numero(scelta, c).value_or(0)
                        ? -1
                        : (rs.numero(r, c).value_or(0) > rs.numero(scelta, c).value_or(0) ? 1 : 0);
            if (minimo ? d < 0 : d > 0) scelta = r;
        }
        return scelta;
    }

    // "Entro.Data.Dal.Al": true when the scope has rows and every row's date X lies within
    // the first row's dates Dal and Al (both given); the day Al counts whole.
    const Dato* entro(const Ambito& a, std::string_view nomi) const {
        std::vector<int> c;
        for (size_t da = 0; da <= nomi.size();) {
            const size_t fine = std::min(nomi.find('.', da), nomi.size());
            c.push_back(a.rs->colonna(nomi.substr(da, fine - da)));
            da = fine + 1;
        }
        if (c.size() != 3 || std::find(c.begin(), c.end(), -1) != c.end()) return nullptr;
        const RecordSet& rs = *a.rs;
        for (const int k : c)
            if (rs.tipo(k) != db::FieldType::Date || rs.calcolata(k)) return falso();
        if (a.size() == 0 || rs.nullo(a.at(0), c[1]) || rs.nullo(a.at(0), c[2])) return falso();
        const QDate dal = db::qDateTimeFromCivil(rs.store().date(a.at(0), c[1])).date();
        const QDate al = db::qDateTimeFromCivil(rs.store().date(a.at(0), c[2])).date();
        for (int i = 0; i < a.size(); ++i) {
            if (rs.nullo(a.at(i), c[0])) return falso();
            const QDate d = db::qDateTimeFromCivil(rs.store().date(a.at(i), c[0])).date();
            if (d < dal || d > al) return falso();
        }
        return vero();
    }

    const Dato* valoreAmbito(const Ambito& a, bool radice, std::string_view nome) const {
        const RecordSet* rs = a.rs;
        const int n = a.size();
        if (nome == "righe") return sezioneRighe(rs, &a);
        if (nome == "Conteggio") return testo(formattaNumero(n));
        if (nome == "primo" || nome == "ultimo") {
            if (n == 0) return falso();
            const int r = a.at(nome == "primo" ? 0 : n - 1);
            return tieni(Dato(km::lambda2([this, rs, r](const std::string& t, const km::renderer&) {
                return ripeti(t, 1, [&](int) {
                    Frame f;
                    f.tipo = Frame::Tipo::Riga;
                    f.rs = rs;
                    f.riga = r;
                    return f;
                });
            })));
        }
        if (rs && inizia(nome, "Totale.")) {
            const int c = rs->colonna(nome.substr(7));
            if (c < 0) return nullptr;
            double somma = 0;
            for (int i = 0; i < n; ++i)
                somma += rs->numero(a.at(i), c).value_or(0);
            return testo(formattaImporto(somma));
        }
        if (rs && inizia(nome, "Presenti.")) {
            const int c = rs->colonna(nome.substr(9));
            if (c < 0) return nullptr;
            int presenti = 0;
            for (int i = 0; i < n; ++i)
                if (!rs->nullo(a.at(i), c) &&
                    (!db::isTextual(rs->tipo(c)) || !rs->store().text(a.at(i), c).empty()))
                    ++presenti;
            return presenti ? testo(formattaNumero(presenti)) : falso();
        }
        if (rs && (inizia(nome, "Minimo.") || inizia(nome, "Massimo."))) {
            const bool minimo = inizia(nome, "Minimo.");
            const std::string_view resto = nome.substr(minimo ? 7 : 8);
            int c = rs->colonna(resto);
            if (c < 0 && resto.rfind('.') != std::string_view::npos)
                c = rs->colonna(resto.substr(0, resto.rfind('.')));
            if (c < 0) return nullptr;
            const int scelta = estremo(*rs, a, c, minimo);
            return scelta < 0 ? falso() : valoreRiga(rs, scelta, resto);
        }
        if (rs && inizia(nome, "Entro.")) return entro(a, nome.substr(6));
        if (rs && (inizia(nome, "Primo.") || inizia(nome, "Ultimo."))) {
            const bool primo = inizia(nome, "Primo.");
            if (n == 0) return falso();
            return valoreRiga(rs, a.at(primo ? 0 : n - 1), nome.substr(primo ? 6 : 7));
        }
        if (radice) {
            if (nome == "gruppi") return sezioneGruppi();
            if (nome == "NumeroGruppi") {
                sezioneGruppi();
                return testo(formattaNumero(double(m_ambitiGruppi.size())));
            }
            if (nome == "Data" && m_layout.haParametro(QStringLiteral("Data")))
                return testo(m_sorgenti.parametroData.value_or(QString()));
            if (nome == "titolo") return testo(m_layout.titolo);
            if (nome == "DataStampa")
                return testo(m_sorgenti.oggi.toString(QStringLiteral("dd/MM/yyyy")));
            for (const Legame& l : m_sorgenti.sezioni)
                if (utf8(l.nome) == nome) return sezioneRighe(l.righe, nullptr);
        }
        // The first row's columns, for headings above the rows.
        return n > 0 ? valoreRiga(rs, a.at(0), nome) : nullptr;
    }

    const Dato* risolvi(const Frame& f, const std::string& nome) const {
        switch (f.tipo) {
        case Frame::Tipo::Dati:
            return f.dati && f.dati->is_object() ? f.dati->get(nome) : nullptr;
        case Frame::Tipo::Riga:
            return valoreRiga(f.rs, f.riga, nome);
        case Frame::Tipo::Ambito:
            return valoreAmbito(*f.ambito, f.radice, nome);
        }
        return nullptr;
    }

    const Layout& m_layout;
    const Sorgenti& m_sorgenti;
    std::vector<Immagine>& m_immagini;
    Ambito m_radice;
    mutable std::vector<Frame> m_frames;
    mutable std::deque<Dato> m_tmp;
    mutable std::unordered_map<std::string, std::unique_ptr<Modello>> m_modelli;
    mutable std::unordered_map<std::string, Dato> m_parti;
    mutable std::map<std::tuple<const RecordSet*, int, int>, int> m_indiceImmagini;
    mutable std::map<QString, int> m_fileImmagini;
    mutable bool m_gruppiPronti = false;
    mutable std::vector<std::vector<int>> m_gruppi;
    mutable std::vector<Ambito> m_ambitiGruppi;
    mutable std::optional<QString> m_errore;
};

// kainjow's messages, in Italian, with the line of the layout file.
QString messaggioModello(const std::string& errore, const Layout& layout,
                         const std::string& testo) {
    QString msg = QString::fromStdString(errore);
    static const QRegularExpression posizione(QStringLiteral(R"( at (\d+)$)"));
    const QRegularExpressionMatch m = posizione.match(msg);
    int riga = -1;
    if (m.hasMatch()) {
        const size_t offset = std::min(size_t(m.captured(1).toULongLong()), testo.size());
        riga = layout.rigaModello +
               int(std::count(testo.begin(), testo.begin() + qsizetype(offset), '\n'));
        msg.truncate(m.capturedStart());
    }
    static const QRegularExpression sezione(
        QStringLiteral(R"x(^(Unclosed|Unopened) section "(.*)"$)x"));
    const QRegularExpressionMatch s = sezione.match(msg);
    if (s.hasMatch())
        msg = s.captured(1) == u"Unclosed"
                  ? QStringLiteral("la sezione \"%1\" non è chiusa").arg(s.captured(2))
                  : QStringLiteral("la sezione \"%1\" è chiusa senza essere aperta")
                        .arg(s.captured(2));
    else if (msg.startsWith(u"Unclosed tag"))
        msg = QStringLiteral("un tag {{ non è chiuso");
    const QString file = QFileInfo(layout.percorso).fileName();
    return riga > 0 ? QStringLiteral("Errore nel modello del report %1, riga %2: %3")
                          .arg(file)
                          .arg(riga)
                          .arg(msg)
                    : QStringLiteral("Errore nel modello del report %1: %2").arg(file, msg);
}

} // namespace

QString urlImmagine(int indice) {
    return QString::fromLatin1(kPrefissoImmagine.data(), qsizetype(kPrefissoImmagine.size())) +
           QString::number(indice);
}

int indiceImmagine(QStringView url) {
    const QLatin1String prefisso(kPrefissoImmagine.data(), qsizetype(kPrefissoImmagine.size()));
    if (!url.startsWith(prefisso)) return -1;
    bool ok = false;
    const int n = url.mid(prefisso.size()).toInt(&ok);
    return ok ? n : -1;
}

ReportReso rendiReport(const Layout& layout, const Sorgenti& sorgenti) {
    ReportReso out;
    const std::string testo = layout.modello.toStdString();
    Modello modello(testo);
    if (!modello.is_valid())
        throw ErroreStampa(messaggioModello(modello.error_message(), layout, testo));
    modello.set_custom_escape(escapeHtml);
    Contesto contesto(layout, sorgenti, out.immagini);
    contesto.pushRadice();
    Accumulo acc{out.html};
    modello.render(contesto, acc);
    if (!modello.is_valid())
        throw ErroreStampa(messaggioModello(modello.error_message(), layout, testo));
    if (contesto.errore())
        throw ErroreStampa(QStringLiteral("Errore nel modello del report %1: %2")
                               .arg(QFileInfo(layout.percorso).fileName(), *contesto.errore()));
    return out;
}

} // namespace stampa
