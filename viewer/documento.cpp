#include "viewer/documento.h"

#include <QFont>
#include <QTextCharFormat>
#include <algorithm>
#include <cstring>

namespace stampa {
namespace {

char minuscola(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool spazio(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f';
}

// Position of `ago` in `s` from `da`, ignoring ASCII case; npos when absent.
size_t trova(std::string_view s, std::string_view ago, size_t da = 0) {
    if (ago.empty() || s.size() < ago.size()) return std::string_view::npos;
    for (size_t i = da; i + ago.size() <= s.size(); ++i) {
        size_t k = 0;
        while (k < ago.size() && minuscola(s[i + k]) == ago[k])
            ++k;
        if (k == ago.size()) return i;
    }
    return std::string_view::npos;
}

struct Tag {
    std::string nome; // lower case; "!--" for a comment
    bool chiusura = false;
    std::string_view attributi;
    size_t fine = 0; // just after '>'
};

// Reads the tag starting at s[pos] == '<'. False when it is not a tag (a lone '<').
bool leggiTag(std::string_view s, size_t pos, Tag& t) {
    t = Tag{};
    if (s.compare(pos, 4, "<!--") == 0) {
        const size_t e = s.find("-->", pos + 4);
        t.nome = "!--";
        t.fine = e == std::string_view::npos ? s.size() : e + 3;
        return true;
    }
    size_t i = pos + 1;
    if (i < s.size() && s[i] == '/') {
        t.chiusura = true;
        ++i;
    }
    const size_t inizio = i;
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '!'))
        ++i;
    if (i == inizio) return false;
    t.nome.reserve(i - inizio);
    for (size_t k = inizio; k < i; ++k)
        t.nome += minuscola(s[k]);
    // The attributes end at the first '>' outside quotes.
    const size_t attr = i;
    char quote = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            break;
        }
    }
    t.attributi = s.substr(attr, i - attr);
    t.fine = i < s.size() ? i + 1 : s.size();
    return true;
}

// The value of an attribute (case of the name ignored); empty when absent.
std::string attributo(std::string_view attr, std::string_view nome) {
    size_t i = 0;
    while (i < attr.size()) {
        while (i < attr.size() && (spazio(attr[i]) || attr[i] == '/'))
            ++i;
        const size_t n0 = i;
        while (i < attr.size() && !spazio(attr[i]) && attr[i] != '=' && attr[i] != '/')
            ++i;
        const std::string_view n = attr.substr(n0, i - n0);
        while (i < attr.size() && spazio(attr[i]))
            ++i;
        std::string_view valore;
        if (i < attr.size() && attr[i] == '=') {
            ++i;
            while (i < attr.size() && spazio(attr[i]))
                ++i;
            if (i < attr.size() && (attr[i] == '"' || attr[i] == '\'')) {
                const char q = attr[i++];
                const size_t v0 = i;
                while (i < attr.size() && attr[i] != q)
                    ++i;
                valore = attr.substr(v0, i - v0);
                if (i < attr.size()) ++i;
            } else {
                const size_t v0 = i;
                while (i < attr.size() && !spazio(attr[i]))
                    ++i;
                valore = attr.substr(v0, i - v0);
            }
        }
        if (n.size() == nome.size() && trova(n, nome) == 0) return std::string(valore);
        if (n.empty()) ++i;
    }
    return {};
}

bool haClasse(std::string_view attr, std::string_view classe) {
    const std::string c = attributo(attr, "class");
    size_t i = 0;
    while (i < c.size()) {
        while (i < c.size() && spazio(c[i]))
            ++i;
        const size_t e = std::min(c.find(' ', i), c.size());
        if (std::string_view(c).substr(i, e - i) == classe) return true;
        i = e;
    }
    return false;
}

bool saltoPagina(std::string_view attr) {
    const std::string stile = attributo(attr, "style");
    const size_t p = trova(stile, "page-break-before");
    return p != std::string::npos && trova(stile, "always", p) != std::string::npos;
}

Qt::Alignment allineamento(std::string_view attr, Qt::Alignment predefinito) {
    std::string a = attributo(attr, "align");
    if (a.empty()) {
        const std::string stile = attributo(attr, "style");
        const size_t p = trova(stile, "text-align");
        if (p != std::string::npos) {
            size_t v = stile.find(':', p);
            if (v != std::string::npos) {
                ++v;
                while (v < stile.size() && spazio(stile[v]))
                    ++v;
                size_t e = v;
                while (e < stile.size() && std::isalpha(static_cast<unsigned char>(stile[e])))
                    ++e;
                a = stile.substr(v, e - v);
            }
        }
    }
    std::transform(a.begin(), a.end(), a.begin(), minuscola);
    if (a == "right") return Qt::AlignRight;
    if (a == "center") return Qt::AlignHCenter;
    if (a == "left") return Qt::AlignLeft;
    return predefinito;
}

// A width given as "12%" or "120": a share of the table.
double larghezza(std::string_view attr) {
    const std::string w = attributo(attr, "width");
    if (w.empty()) return 0;
    try {
        return std::max(0.0, std::stod(w));
    } catch (...) {
        return 0;
    }
}

size_t fineTabella(std::string_view s, size_t da) {
    int profondita = 1;
    size_t i = da;
    Tag t;
    while ((i = s.find('<', i)) != std::string_view::npos) {
        if (!leggiTag(s, i, t)) {
            ++i;
            continue;
        }
        if (t.nome == "table") profondita += t.chiusura ? -1 : 1;
        i = t.fine;
        if (profondita == 0) return i;
    }
    return s.size();
}

// An e-mail address may break after "@" and "." only: a zero-width space marks where.
void spezzaIndirizzi(QString& t) {
    QString out;
    out.reserve(t.size() + 8);
    qsizetype da = 0;
    for (qsizetype i = 0; i <= t.size(); ++i) {
        if (i < t.size() && t[i] != u' ' && t[i] != QChar::LineSeparator) continue;
        const QStringView parola = QStringView(t).mid(da, i - da);
        if (parola.contains(u'@')) {
            for (qsizetype k = 0; k < parola.size(); ++k) {
                out += parola[k];
                if ((parola[k] == u'@' || parola[k] == u'.') && k + 1 < parola.size())
                    out += QChar(0x200B);
            }
        } else {
            out += parola;
        }
        if (i < t.size()) out += t[i];
        da = i + 1;
    }
    t = out;
}

// Builds one cell's text: whitespace collapsed as HTML does, <br> as a line break, bold and
// italic runs.
struct CostruttoreCella {
    CellaGriglia* cella = nullptr;
    bool spazioPendente = false;
    int inizioGrassetto = -1, inizioCorsivo = -1;

    void testo(std::string_view raw) {
        std::string pulito;
        pulito.reserve(raw.size());
        for (const char c : raw) {
            if (spazio(c)) {
                spazioPendente = true;
                continue;
            }
            const bool prima = !pulito.empty() || (!cella->testo.isEmpty() &&
                                                   !cella->testo.endsWith(QChar::LineSeparator));
            if (spazioPendente && prima) pulito += ' ';
            spazioPendente = false;
            pulito += c;
        }
        if (pulito.empty()) return;
        cella->testo += pulito.find('&') == std::string::npos
                            ? QString::fromUtf8(pulito.data(), qsizetype(pulito.size()))
                            : decodificaEntita(pulito);
    }
    // QTextLayout breaks lines only at U+2028, not at '\n'.
    void aCapo() {
        cella->testo += QChar::LineSeparator;
        spazioPendente = false;
    }
    void formato(int& inizio, bool apri, bool grassetto) {
        if (apri) {
            inizio = int(cella->testo.size());
            return;
        }
        if (inizio < 0) return;
        QTextLayout::FormatRange r;
        r.start = inizio;
        r.length = int(cella->testo.size()) - inizio;
        if (grassetto)
            r.format.setFontWeight(QFont::Bold);
        else
            r.format.setFontItalic(true);
        if (r.length > 0) cella->formati.append(r);
        inizio = -1;
    }
    void chiudi() {
        while (cella->testo.endsWith(QChar::LineSeparator) || cella->testo.endsWith(u' '))
            cella->testo.chop(1);
        // A run over the whole text is the cell's own weight.
        if (cella->formati.size() == 1 && cella->formati[0].start == 0 &&
            cella->formati[0].length >= cella->testo.size() &&
            cella->formati[0].format.fontWeight() == QFont::Bold) {
            cella->grassetto = true;
            cella->formati.clear();
        }
        for (auto& r : cella->formati)
            r.length = std::min(r.length, int(cella->testo.size()) - r.start);
        if (cella->formati.isEmpty() && cella->testo.contains(u'@')) spezzaIndirizzi(cella->testo);
        cella = nullptr;
        spazioPendente = false;
        inizioGrassetto = inizioCorsivo = -1;
    }
};

std::shared_ptr<Griglia> leggiGriglia(std::string_view s, std::string_view attrTabella) {
    auto g = std::make_shared<Griglia>();
    if (haClasse(attrTabella, "compatta")) g->scala = 0.88;
    std::vector<double> colonne; // <col width>
    std::vector<double> pesiIntestazione;
    bool inTesta = false, rigaDiTesta = false, corpoIniziato = false;
    RigaGriglia riga;
    bool rigaAperta = false;
    CostruttoreCella cc;

    auto chiudiCella = [&] {
        if (cc.cella) cc.chiudi();
    };
    auto chiudiRiga = [&] {
        chiudiCella();
        if (!rigaAperta) return;
        rigaAperta = false;
        if (riga.celle.empty()) return;
        const bool testa = inTesta || (rigaDiTesta && !corpoIniziato);
        if (testa) {
            riga.stile = RigaGriglia::Stile::Intestazione;
            g->intestazione.push_back(std::move(riga));
        } else {
            corpoIniziato = true;
            g->righe.push_back(std::move(riga));
        }
        riga = RigaGriglia{};
    };

    size_t i = 0;
    Tag t;
    while (i < s.size()) {
        const size_t lt = s.find('<', i);
        const size_t fineTesto = lt == std::string_view::npos ? s.size() : lt;
        if (cc.cella && fineTesto > i) cc.testo(s.substr(i, fineTesto - i));
        if (lt == std::string_view::npos) break;
        if (!leggiTag(s, lt, t)) {
            if (cc.cella) cc.testo("<");
            i = lt + 1;
            continue;
        }
        i = t.fine;
        const std::string& n = t.nome;
        if (n == "thead") {
            chiudiRiga();
            inTesta = !t.chiusura;
        } else if (n == "tbody" || n == "tfoot") {
            chiudiRiga();
            inTesta = false;
        } else if (n == "tr") {
            chiudiRiga();
            if (!t.chiusura) {
                rigaAperta = true;
                rigaDiTesta = true;
                if (haClasse(t.attributi, "gruppo"))
                    riga.stile = RigaGriglia::Stile::Gruppo;
                else if (haClasse(t.attributi, "totale"))
                    riga.stile = RigaGriglia::Stile::Totale;
            }
        } else if (n == "td" || n == "th") {
            chiudiCella();
            if (t.chiusura) continue;
            if (!rigaAperta) {
                rigaAperta = true;
                rigaDiTesta = true;
            }
            if (n == "td") rigaDiTesta = false;
            riga.celle.emplace_back();
            CellaGriglia& c = riga.celle.back();
            c.grassetto = n == "th";
            c.allineamento = allineamento(t.attributi, n == "th" ? Qt::AlignLeft : Qt::AlignLeft);
            const std::string span = attributo(t.attributi, "colspan");
            if (!span.empty()) c.colspan = std::clamp(std::atoi(span.c_str()), 1, 64);
            if (n == "th" && !corpoIniziato && g->intestazione.empty()) {
                const double w = larghezza(t.attributi);
                for (int k = 0; k < c.colspan; ++k)
                    pesiIntestazione.push_back(w / c.colspan);
            }
            cc.cella = &c;
        } else if (n == "col" && !t.chiusura) {
            const std::string span = attributo(t.attributi, "span");
            const int volte = span.empty() ? 1 : std::clamp(std::atoi(span.c_str()), 1, 64);
            for (int k = 0; k < volte; ++k)
                colonne.push_back(larghezza(t.attributi));
        } else if (cc.cella) {
            if (n == "br")
                cc.aCapo();
            else if (n == "b" || n == "strong")
                cc.formato(cc.inizioGrassetto, !t.chiusura, true);
            else if (n == "i" || n == "em")
                cc.formato(cc.inizioCorsivo, !t.chiusura, false);
            else if ((n == "p" || n == "div") && t.chiusura)
                cc.aCapo();
        }
    }
    chiudiRiga();

    size_t ncol = colonne.size();
    auto conta = [](const RigaGriglia& r) {
        size_t k = 0;
        for (const CellaGriglia& c : r.celle)
            k += size_t(c.colspan);
        return k;
    };
    for (const RigaGriglia& r : g->intestazione)
        ncol = std::max(ncol, conta(r));
    for (const RigaGriglia& r : g->righe)
        ncol = std::max(ncol, conta(r));
    std::vector<double> pesi = colonne.empty() ? pesiIntestazione : colonne;
    pesi.resize(ncol, 0);
    double dati = 0;
    int liberi = 0;
    for (double p : pesi) {
        dati += p;
        if (p <= 0) ++liberi;
    }
    // Columns without a width share what the others leave (at least a fair share).
    const double quota = liberi ? std::max((dati > 0 && dati < 100 ? 100 - dati : dati) / liberi,
                                           (dati > 0 ? dati : 100) / double(ncol))
                                : 0;
    double totale = 0;
    for (double& p : pesi) {
        if (p <= 0) p = quota > 0 ? quota : 1;
        totale += p;
    }
    for (double& p : pesi)
        p /= totale > 0 ? totale : 1;
    g->larghezze = std::move(pesi);
    return g;
}

bool soloSpazi(std::string_view s) {
    size_t i = 0;
    Tag t;
    while (i < s.size()) {
        if (s[i] == '<' && leggiTag(s, i, t)) {
            if (t.nome == "img" || t.nome == "hr" || t.nome == "table") return false;
            i = t.fine;
            continue;
        }
        if (!spazio(s[i])) return false;
        ++i;
    }
    return true;
}

} // namespace

QString decodificaEntita(std::string_view testo) {
    struct Nome {
        const char* nome;
        char16_t c;
    };
    static const Nome nomi[] = {
        {"amp", u'&'},       {"lt", u'<'},     {"gt", u'>'},     {"quot", u'"'},   {"apos", u'\''},
        {"nbsp", u'\u00a0'}, {"agrave", u'à'}, {"egrave", u'è'}, {"eacute", u'é'}, {"igrave", u'ì'},
        {"ograve", u'ò'},    {"ugrave", u'ù'}, {"Agrave", u'À'}, {"Egrave", u'È'}, {"Eacute", u'É'},
        {"euro", u'€'},      {"deg", u'°'},    {"middot", u'·'}, {"ndash", u'–'},  {"mdash", u'—'},
        {"laquo", u'«'},     {"raquo", u'»'},  {"copy", u'©'},   {"times", u'×'},
    };
    QString out;
    out.reserve(qsizetype(testo.size()));
    size_t i = 0;
    while (i < testo.size()) {
        const size_t amp = testo.find('&', i);
        const size_t fine = amp == std::string_view::npos ? testo.size() : amp;
        out += QString::fromUtf8(testo.data() + i, qsizetype(fine - i));
        if (amp == std::string_view::npos) break;
        const size_t pv = testo.find(';', amp);
        bool fatto = false;
        if (pv != std::string_view::npos && pv - amp <= 10) {
            const std::string_view e = testo.substr(amp + 1, pv - amp - 1);
            if (e.size() > 1 && e[0] == '#') {
                const bool hex = e[1] == 'x' || e[1] == 'X';
                const std::string num(e.substr(hex ? 2 : 1));
                char* end = nullptr;
                const unsigned long cp = std::strtoul(num.c_str(), &end, hex ? 16 : 10);
                if (!num.empty() && end && *end == 0 && cp > 0 && cp <= 0x10FFFF) {
                    out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1);
                    fatto = true;
                }
            } else {
                for (const Nome& n : nomi)
                    if (e == n.nome) {
                        out += QChar(n.c);
                        fatto = true;
                        break;
                    }
            }
        }
        if (fatto) {
            i = pv + 1;
        } else {
            out += u'&';
            i = amp + 1;
        }
    }
    return out;
}

DocumentoHtml scomponi(const std::string& html) {
    DocumentoHtml doc;
    const std::string_view s(html);
    // Style sheets, wherever they are.
    size_t p = 0;
    while ((p = trova(s, "<style", p)) != std::string_view::npos) {
        const size_t apre = s.find('>', p);
        if (apre == std::string_view::npos) break;
        const size_t chiude = trova(s, "</style", apre);
        const size_t fine = chiude == std::string_view::npos ? s.size() : chiude;
        doc.css += QString::fromUtf8(s.data() + apre + 1, qsizetype(fine - apre - 1));
        doc.css += u'\n';
        p = fine;
    }
    size_t inizio = 0, fine = s.size();
    if (const size_t b = trova(s, "<body"); b != std::string_view::npos) {
        const size_t e = s.find('>', b);
        inizio = e == std::string_view::npos ? s.size() : e + 1;
    } else if (const size_t h = trova(s, "</head"); h != std::string_view::npos) {
        const size_t e = s.find('>', h);
        inizio = e == std::string_view::npos ? s.size() : e + 1;
    }
    if (const size_t e = trova(s, "</body", inizio); e != std::string_view::npos) fine = e;
    const std::string_view corpo = s.substr(inizio, fine - inizio);

    size_t inizioFlusso = 0;
    auto flusso = [&](size_t a) {
        const std::string_view f = corpo.substr(inizioFlusso, a - inizioFlusso);
        if (!soloSpazi(f)) {
            Segmento seg;
            seg.html = QString::fromUtf8(f.data(), qsizetype(f.size()));
            doc.segmenti.push_back(std::move(seg));
        }
    };
    auto salto = [&] {
        Segmento seg;
        seg.tipo = Segmento::Tipo::SaltoPagina;
        doc.segmenti.push_back(std::move(seg));
    };
    size_t i = 0;
    Tag t;
    while ((i = corpo.find('<', i)) != std::string_view::npos) {
        if (!leggiTag(corpo, i, t)) {
            ++i;
            continue;
        }
        if (t.nome == "style" && !t.chiusura) {
            const size_t e = trova(corpo, "</style", t.fine);
            i = e == std::string_view::npos ? corpo.size() : e;
            continue;
        }
        if (!t.chiusura && t.nome == "table" && haClasse(t.attributi, "elenco")) {
            flusso(i);
            if (saltoPagina(t.attributi)) salto();
            const size_t e = fineTabella(corpo, t.fine);
            Segmento seg;
            seg.tipo = Segmento::Tipo::Griglia;
            seg.griglia = leggiGriglia(corpo.substr(t.fine, e - t.fine), t.attributi);
            doc.segmenti.push_back(std::move(seg));
            inizioFlusso = i = e;
            continue;
        }
        if (!t.chiusura && t.nome != "!--" && saltoPagina(t.attributi)) {
            flusso(i);
            salto();
            inizioFlusso = i;
        }
        i = t.fine;
    }
    flusso(corpo.size());
    return doc;
}

} // namespace stampa
