#include "viewer/unionepdf.h"

#include "viewer/errore.h"

#include <QIODevice>
#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <string_view>

namespace stampa {
namespace {

[[noreturn]] void illeggibile(size_t parte, const char* perche) {
    throw ErroreStampa(QStringLiteral("Impossibile unire le parti del PDF: parte %1, %2.")
                           .arg(parte + 1)
                           .arg(QLatin1StringView(perche)));
}

bool bianco(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool delimitatore(char c) {
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
           c == '}' || c == '/' || c == '%';
}

// The lexical tokens of PDF's object syntax, enough to find references and skip values.
enum class Tipo { Fine, Intero, Nome, Parola, Apre, Chiude, Altro };

struct Token {
    Tipo tipo = Tipo::Fine;
    qsizetype da = 0, a = 0;
};

class Lettore {
public:
    Lettore(const QByteArray& b, qsizetype da, qsizetype a)
        : m_s(b.constData()), m_i(da), m_fine(a) {}

    Token prossimo() {
        while (m_i < m_fine && (bianco(m_s[m_i]) || m_s[m_i] == '%')) {
            if (m_s[m_i] == '%')
                while (m_i < m_fine && m_s[m_i] != '\n' && m_s[m_i] != '\r')
                    ++m_i;
            else
                ++m_i;
        }
        const qsizetype da = m_i;
        if (m_i >= m_fine) return {Tipo::Fine, da, da};
        const char c = m_s[m_i++];
        switch (c) {
        case '(': {
            int profondita = 1;
            for (; m_i < m_fine && profondita > 0; ++m_i) {
                if (m_s[m_i] == '\\')
                    ++m_i;
                else if (m_s[m_i] == '(')
                    ++profondita;
                else if (m_s[m_i] == ')')
                    --profondita;
            }
            m_i = std::min(m_i, m_fine);
            return {Tipo::Altro, da, m_i};
        }
        case '<':
            if (m_i < m_fine && m_s[m_i] == '<') return {Tipo::Apre, da, ++m_i};
            while (m_i < m_fine && m_s[m_i] != '>')
                ++m_i;
            if (m_i < m_fine) ++m_i;
            return {Tipo::Altro, da, m_i};
        case '>':
            if (m_i < m_fine && m_s[m_i] == '>') return {Tipo::Chiude, da, ++m_i};
            return {Tipo::Altro, da, m_i};
        case '[':
        case '{':
            return {Tipo::Apre, da, m_i};
        case ']':
        case '}':
            return {Tipo::Chiude, da, m_i};
        case ')':
            return {Tipo::Altro, da, m_i};
        default:
            break;
        }
        while (m_i < m_fine && !bianco(m_s[m_i]) && !delimitatore(m_s[m_i]))
            ++m_i;
        if (c == '/') return {Tipo::Nome, da, m_i};
        bool cifre = true;
        for (qsizetype k = da; k < m_i && cifre; ++k)
            cifre = m_s[k] >= '0' && m_s[k] <= '9';
        return {cifre ? Tipo::Intero : Tipo::Parola, da, m_i};
    }

private:
    const char* m_s;
    qsizetype m_i, m_fine;
};

std::string_view testo(const QByteArray& b, Token t) {
    return std::string_view(b.constData() + t.da, size_t(t.a - t.da));
}

long long intero(const QByteArray& b, Token t) {
    long long v = -1;
    std::from_chars(b.constData() + t.da, b.constData() + t.a, v);
    return v;
}

struct Intervallo {
    qsizetype da = -1, a = -1;
    bool vuoto() const { return da < 0; }
};

// Reads one value (a reference "n g R" as one) and gives its extent.
Intervallo saltaValore(const QByteArray& b, Lettore& l) {
    const Token v = l.prossimo();
    if (v.tipo == Tipo::Fine || v.tipo == Tipo::Chiude) return {};
    if (v.tipo == Tipo::Apre) {
        int profondita = 1;
        Token t;
        while (profondita > 0) {
            t = l.prossimo();
            if (t.tipo == Tipo::Fine) return {};
            if (t.tipo == Tipo::Apre) ++profondita;
            if (t.tipo == Tipo::Chiude) --profondita;
        }
        return {v.da, t.a};
    }
    if (v.tipo == Tipo::Intero) {
        Lettore avanti = l;
        const Token g = avanti.prossimo(), r = avanti.prossimo();
        if (g.tipo == Tipo::Intero && r.tipo == Tipo::Parola && testo(b, r) == "R") {
            l = avanti;
            return {v.da, r.a};
        }
    }
    return {v.da, v.a};
}

// The value of `chiave` in the dictionary at the start of [da, a); empty when it has none.
Intervallo valore(const QByteArray& b, qsizetype da, qsizetype a, std::string_view chiave) {
    Lettore l(b, da, a);
    if (l.prossimo().tipo != Tipo::Apre) return {};
    for (;;) {
        const Token k = l.prossimo();
        if (k.tipo != Tipo::Nome) return {};
        const Intervallo v = saltaValore(b, l);
        if (v.vuoto()) return {};
        if (testo(b, k) == chiave) return v;
    }
}

// The object number of a reference "n g R".
int numeroRif(const QByteArray& b, Intervallo v) {
    if (v.vuoto()) return -1;
    Lettore l(b, v.da, v.a);
    const Token n = l.prossimo(), g = l.prossimo(), r = l.prossimo();
    if (n.tipo != Tipo::Intero || g.tipo != Tipo::Intero || testo(b, r) != "R") return -1;
    return int(std::min<long long>(intero(b, n), INT_MAX));
}

struct Riferimento {
    qsizetype da = 0, a = 0; // the object number's digits
    int numero = 0;
};

// The references in [da, a), up to the keyword "stream" or "endobj"; returns where it stopped.
qsizetype leggiRiferimenti(const QByteArray& b, qsizetype da, qsizetype a,
                           std::vector<Riferimento>& rif) {
    Lettore l(b, da, a);
    Token prima, seconda; // the two tokens before this one
    for (Token t = l.prossimo(); t.tipo != Tipo::Fine; t = l.prossimo()) {
        if (t.tipo == Tipo::Parola) {
            const std::string_view p = testo(b, t);
            if (p == "stream" || p == "endobj") return t.da;
            if (p == "R" && prima.tipo == Tipo::Intero && seconda.tipo == Tipo::Intero)
                rif.push_back(
                    {seconda.da, seconda.a, int(std::min<long long>(intero(b, seconda), INT_MAX))});
        }
        seconda = prima;
        prima = t;
    }
    return a;
}

struct Oggetto {
    int numero = 0;
    qsizetype inizio = 0, corpo = 0; // "n g obj", then what follows "obj"
    qsizetype testoFine = 0;         // where "stream" or "endobj" starts
    qsizetype fine = 0;
    std::vector<Riferimento> rif;
};

struct Parte {
    std::vector<Oggetto> oggetti; // in file order
    std::vector<int> indice;      // by object number: position in `oggetti`, -1 when free
    Intervallo trailer;
    int pagine = -1;         // the page tree's node
    std::vector<int> foglie; // its pages, in order
    Intervallo kids, conta;  // /Kids and /Count of the node

    const Oggetto* oggetto(int n) const {
        return n >= 0 && n < int(indice.size()) && indice[size_t(n)] >= 0
                   ? &oggetti[size_t(indice[size_t(n)])]
                   : nullptr;
    }
};

Parte leggiParte(const QByteArray& b, size_t numero) {
    Parte p;
    const qsizetype sx = b.lastIndexOf("startxref");
    if (sx < 0) illeggibile(numero, "manca startxref");
    Lettore ls(b, sx + 9, b.size());
    const Token tx = ls.prossimo();
    const long long xref = tx.tipo == Tipo::Intero ? intero(b, tx) : -1;
    if (xref <= 0 || xref >= sx) illeggibile(numero, "startxref non valido");

    Lettore l(b, qsizetype(xref), sx);
    if (testo(b, l.prossimo()) != "xref") illeggibile(numero, "tabella xref non trovata");
    std::vector<std::pair<qsizetype, int>> posizioni; // offset, object number
    for (;;) {
        const Token t = l.prossimo();
        if (t.tipo == Tipo::Parola && testo(b, t) == "trailer") break;
        const Token c = l.prossimo();
        if (t.tipo != Tipo::Intero || c.tipo != Tipo::Intero)
            illeggibile(numero, "tabella xref non valida");
        const long long primo = intero(b, t), quanti = intero(b, c);
        for (long long k = 0; k < quanti; ++k) {
            const Token off = l.prossimo(), gen = l.prossimo(), uso = l.prossimo();
            if (off.tipo != Tipo::Intero || gen.tipo != Tipo::Intero)
                illeggibile(numero, "voce xref non valida");
            if (testo(b, uso) == "n") {
                const long long o = intero(b, off);
                if (o <= 0 || o >= xref || primo + k > 10'000'000)
                    illeggibile(numero, "voce xref fuori dal file");
                posizioni.emplace_back(qsizetype(o), int(primo + k));
            }
        }
    }
    p.trailer = saltaValore(b, l);
    if (p.trailer.vuoto()) illeggibile(numero, "trailer non valido");
    if (!valore(b, p.trailer.da, p.trailer.a, "/Prev").vuoto() ||
        !valore(b, p.trailer.da, p.trailer.a, "/XRefStm").vuoto())
        illeggibile(numero, "aggiornamenti incrementali");

    // Objects follow one another: each ends where the next begins.
    std::sort(posizioni.begin(), posizioni.end());
    int massimo = 0;
    for (size_t i = 0; i < posizioni.size(); ++i) {
        Oggetto o;
        o.inizio = posizioni[i].first;
        o.fine = i + 1 < posizioni.size() ? posizioni[i + 1].first : qsizetype(xref);
        o.numero = posizioni[i].second;
        Lettore lo(b, o.inizio, o.fine);
        const Token n = lo.prossimo(), g = lo.prossimo(), obj = lo.prossimo();
        if (n.tipo != Tipo::Intero || intero(b, n) != o.numero || g.tipo != Tipo::Intero ||
            testo(b, obj) != "obj" ||
            !QByteArrayView(b.constData() + o.inizio, o.fine - o.inizio)
                 .trimmed()
                 .endsWith("endobj"))
            illeggibile(numero, "oggetto non dove la tabella xref lo indica");
        o.inizio = n.da; // the table may point at the blank before it
        o.corpo = obj.a;
        o.testoFine = leggiRiferimenti(b, o.corpo, o.fine, o.rif);
        massimo = std::max(massimo, o.numero);
        p.oggetti.push_back(std::move(o));
    }
    p.indice.assign(size_t(massimo) + 1, -1);
    for (size_t i = 0; i < p.oggetti.size(); ++i)
        p.indice[size_t(p.oggetti[i].numero)] = int(i);

    const Oggetto* catalogo =
        p.oggetto(numeroRif(b, valore(b, p.trailer.da, p.trailer.a, "/Root")));
    if (!catalogo) illeggibile(numero, "catalogo non trovato");
    p.pagine = numeroRif(b, valore(b, catalogo->corpo, catalogo->testoFine, "/Pages"));
    const Oggetto* nodo = p.oggetto(p.pagine);
    if (!nodo) illeggibile(numero, "albero delle pagine non trovato");
    p.kids = valore(b, nodo->corpo, nodo->testoFine, "/Kids");
    p.conta = valore(b, nodo->corpo, nodo->testoFine, "/Count");
    if (p.kids.vuoto() || p.conta.vuoto()) illeggibile(numero, "albero delle pagine non valido");
    std::vector<Riferimento> kids;
    leggiRiferimenti(b, p.kids.da, p.kids.a, kids);
    for (const Riferimento& r : kids) {
        const Oggetto* f = p.oggetto(r.numero);
        const Intervallo tipo = f ? valore(b, f->corpo, f->testoFine, "/Type") : Intervallo{};
        if (tipo.vuoto() ||
            std::string_view(b.constData() + tipo.da, size_t(tipo.a - tipo.da)) != "/Page")
            illeggibile(numero, "albero delle pagine a più livelli");
        p.foglie.push_back(r.numero);
    }
    return p;
}

// Writes in large blocks and keeps count of the offset for the cross-reference table.
class Scrittura {
public:
    explicit Scrittura(QIODevice& d) : m_d(d) { m_buffer.reserve(kBlocco + 4096); }
    qint64 posizione() const { return m_scritti + m_buffer.size(); }
    void scrivi(const char* s, qsizetype n) {
        if (m_buffer.size() + n > kBlocco) svuota();
        if (n > kBlocco) {
            scriviOra(s, n);
        } else {
            m_buffer.append(s, n);
        }
    }
    void scrivi(QByteArrayView v) { scrivi(v.data(), v.size()); }
    void svuota() {
        scriviOra(m_buffer.constData(), m_buffer.size());
        m_buffer.clear();
    }

private:
    static constexpr qsizetype kBlocco = 1 << 20;
    void scriviOra(const char* s, qsizetype n) {
        if (n > 0 && m_d.write(s, n) != n)
            throw ErroreStampa(
                QStringLiteral("Impossibile scrivere il PDF: %1").arg(m_d.errorString()));
        m_scritti += n;
    }
    QIODevice& m_d;
    QByteArray m_buffer;
    qint64 m_scritti = 0;
};

struct Sostituzione {
    qsizetype da, a;
    QByteArray con;
};

// [da, a) of `b`, with the given ranges (in order, inside it) replaced.
void scriviSostituendo(Scrittura& w, const QByteArray& b, qsizetype da, qsizetype a,
                       const std::vector<Sostituzione>& sost) {
    for (const Sostituzione& s : sost) {
        w.scrivi(b.constData() + da, s.da - da);
        w.scrivi(s.con);
        da = s.a;
    }
    w.scrivi(b.constData() + da, a - da);
}

} // namespace

void unisciPdf(const std::vector<QByteArray>& parti, QIODevice& uscita) {
    if (parti.empty()) throw ErroreStampa(QStringLiteral("Nessuna pagina da scrivere nel PDF."));
    std::vector<Parte> p;
    p.reserve(parti.size());
    for (size_t k = 0; k < parti.size(); ++k)
        p.push_back(leggiParte(parti[k], k));

    // The first part keeps its numbers; of the others, the pages and what they use follow.
    const Parte& prima = p.front();
    const int radice = prima.pagine;
    int prossimo = int(prima.indice.size());
    std::vector<std::vector<int>> nuovo(p.size());
    nuovo[0].resize(prima.indice.size());
    for (size_t n = 0; n < nuovo[0].size(); ++n)
        nuovo[0][n] = prima.indice[n] >= 0 ? int(n) : -1;
    for (size_t k = 1; k < p.size(); ++k) {
        std::vector<int>& m = nuovo[k];
        m.assign(p[k].indice.size(), -1);
        std::vector<char> usato(p[k].indice.size(), 0);
        usato[size_t(p[k].pagine)] = 1; // a page's /Parent: the joined tree instead
        std::vector<int> daVedere = p[k].foglie;
        for (int f : daVedere)
            usato[size_t(f)] = 1;
        while (!daVedere.empty()) {
            const Oggetto* o = p[k].oggetto(daVedere.back());
            daVedere.pop_back();
            for (const Riferimento& r : o->rif) {
                if (!p[k].oggetto(r.numero)) illeggibile(k, "riferimento a un oggetto assente");
                if (!usato[size_t(r.numero)]) {
                    usato[size_t(r.numero)] = 1;
                    daVedere.push_back(r.numero);
                }
            }
        }
        for (const Oggetto& o : p[k].oggetti)
            if (usato[size_t(o.numero)] && o.numero != p[k].pagine)
                m[size_t(o.numero)] = prossimo++;
        m[size_t(p[k].pagine)] = radice;
    }

    Scrittura w(uscita);
    std::vector<qint64> posizioni(size_t(prossimo), -1);
    const QByteArray& b0 = parti[0];
    w.scrivi(b0.constData(), prima.oggetti.front().inizio); // "%PDF-1.x" and the binary marker
    int pagine = 0;
    for (const Parte& parte : p)
        pagine += int(parte.foglie.size());
    for (const Oggetto& o : prima.oggetti) {
        posizioni[size_t(o.numero)] = w.posizione();
        if (o.numero != radice) {
            w.scrivi(b0.constData() + o.inizio, o.fine - o.inizio);
            continue;
        }
        QByteArray kids = "[\n";
        for (size_t k = 0; k < p.size(); ++k)
            for (int f : p[k].foglie)
                kids += QByteArray::number(nuovo[k][size_t(f)]) + " 0 R\n";
        kids += ']';
        std::vector<Sostituzione> s{{prima.kids.da, prima.kids.a, kids},
                                    {prima.conta.da, prima.conta.a, QByteArray::number(pagine)}};
        if (s[0].da > s[1].da) std::swap(s[0], s[1]);
        scriviSostituendo(w, b0, o.inizio, o.fine, s);
    }
    std::vector<Sostituzione> s;
    for (size_t k = 1; k < p.size(); ++k) {
        const QByteArray& b = parti[k];
        for (const Oggetto& o : p[k].oggetti) {
            const int n = nuovo[k][size_t(o.numero)];
            if (n < 0 || o.numero == p[k].pagine) continue;
            posizioni[size_t(n)] = w.posizione();
            w.scrivi(QByteArray(QByteArray::number(n) + " 0 obj"));
            s.clear();
            for (const Riferimento& r : o.rif)
                s.push_back({r.da, r.a, QByteArray::number(nuovo[k][size_t(r.numero)])});
            scriviSostituendo(w, b, o.corpo, o.testoFine, s);
            w.scrivi(b.constData() + o.testoFine, o.fine - o.testoFine);
        }
    }

    const qint64 xref = w.posizione();
    QByteArray tabella = "xref\n0 " + QByteArray::number(prossimo) + "\n0000000000 65535 f \n";
    tabella.reserve(tabella.size() + 20 * prossimo);
    char voce[32];
    for (int n = 1; n < prossimo; ++n) {
        const qint64 pos = posizioni[size_t(n)];
        if (pos < 0)
            tabella += "0000000000 00000 f \n";
        else
            tabella.append(voce, std::snprintf(voce, sizeof voce, "%010lld 00000 n \n",
                                               static_cast<long long>(pos)));
    }
    w.scrivi(tabella);
    w.scrivi("trailer\n");
    const Intervallo dimensione = valore(b0, prima.trailer.da, prima.trailer.a, "/Size");
    if (dimensione.vuoto()) illeggibile(0, "trailer senza /Size");
    scriviSostituendo(w, b0, prima.trailer.da, prima.trailer.a,
                      {{dimensione.da, dimensione.a, QByteArray::number(prossimo)}});
    w.scrivi(QByteArray("\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n"));
    w.svuota();
}

} // namespace stampa
