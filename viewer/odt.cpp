#include "viewer/odt.h"

#include <QRegularExpression>
#include <zlib.h>

namespace stampa {
namespace {

quint32 le(const QByteArray& b, qsizetype p, int n) {
    quint32 v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | quint8(b[p + i]);
    return v;
}

void metti(QByteArray& b, quint32 v, int n) {
    for (int i = 0; i < n; ++i, v >>= 8)
        b += char(v & 0xff);
}

QByteArray zlib(const QByteArray& in, bool comprimi, qsizetype attesi = 0) {
    z_stream z{};
    const int ok = comprimi ? deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                                           Z_DEFAULT_STRATEGY)
                            : inflateInit2(&z, -MAX_WBITS);
    if (ok != Z_OK) return {};
    QByteArray out(comprimi ? qsizetype(deflateBound(&z, uLong(in.size()))) : attesi, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = uInt(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int esito = comprimi ? deflate(&z, Z_FINISH) : inflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    comprimi ? deflateEnd(&z) : inflateEnd(&z);
    return esito == Z_STREAM_END ? out : QByteArray();
}

} // namespace

std::map<QString, QByteArray> leggiZip(const QByteArray& zip) {
    std::map<QString, QByteArray> out;
    qsizetype fine = zip.size() - 22;
    while (fine >= 0 && le(zip, fine, 4) != 0x06054b50)
        --fine;
    if (fine < 0) return out;
    const quint32 voci = le(zip, fine + 10, 2);
    qsizetype p = le(zip, fine + 16, 4);
    for (quint32 i = 0; i < voci && p + 46 <= zip.size() && le(zip, p, 4) == 0x02014b50; ++i) {
        const quint32 metodo = le(zip, p + 10, 2), compressi = le(zip, p + 20, 4),
                      dati = le(zip, p + 24, 4), nome = le(zip, p + 28, 2),
                      extra = le(zip, p + 30, 2), nota = le(zip, p + 32, 2),
                      locale = le(zip, p + 42, 4);
        const QString n = QString::fromUtf8(zip.mid(p + 46, nome));
        p += 46 + nome + extra + nota;
        if (qsizetype(locale) + 30 > zip.size()) return {};
        const qsizetype inizio = locale + 30 + le(zip, locale + 26, 2) + le(zip, locale + 28, 2);
        const QByteArray grezzi = zip.mid(inizio, compressi);
        out[n] = metodo == 0 ? grezzi : zlib(grezzi, false, dati);
    }
    return out;
}

QByteArray scriviZip(const std::map<QString, QByteArray>& membri) {
    QByteArray zip, centrale;
    quint32 voci = 0;
    auto scrivi = [&](const QString& nome, const QByteArray& dati) {
        const bool memorizza = nome == u"mimetype";
        const QByteArray corpo = memorizza ? dati : zlib(dati, true);
        const QByteArray n = nome.toUtf8();
        const quint32 crc = crc32(0, reinterpret_cast<const Bytef*>(dati.data()), uInt(dati.size()));
        const quint32 offset = quint32(zip.size());
        auto testa = [&](QByteArray& b, bool locale) {
            metti(b, locale ? 0x04034b50 : 0x02014b50, 4);
            if (!locale) metti(b, 20, 2); // made by
            metti(b, 20, 2);              // needed
            metti(b, 0, 2);               // flags
            metti(b, memorizza ? 0 : 8, 2);
            metti(b, 0, 2);      // time
            metti(b, 0x21, 2);   // 1 January 1980
            metti(b, crc, 4);
            metti(b, quint32(corpo.size()), 4);
            metti(b, quint32(dati.size()), 4);
            metti(b, quint32(n.size()), 2);
            metti(b, 0, 2); // extra
            if (!locale) {
                metti(b, 0, 2); // comment
                metti(b, 0, 2); // disk
                metti(b, 0, 2); // internal attributes
                metti(b, 0, 4); // external attributes
                metti(b, offset, 4);
            }
            b += n;
        };
        testa(zip, true);
        zip += corpo;
        testa(centrale, false);
        ++voci;
    };
    if (auto it = membri.find(QStringLiteral("mimetype")); it != membri.end())
        scrivi(it->first, it->second);
    for (const auto& [nome, dati] : membri)
        if (nome != u"mimetype") scrivi(nome, dati);
    const quint32 inizio = quint32(zip.size());
    zip += centrale;
    metti(zip, 0x06054b50, 4);
    metti(zip, 0, 4);
    metti(zip, voci, 2);
    metti(zip, voci, 2);
    metti(zip, quint32(centrale.size()), 4);
    metti(zip, inizio, 4);
    metti(zip, 0, 2);
    return zip;
}

} // namespace stampa

namespace stampa {
namespace {

QString xml(const QString& s) {
    return s.toHtmlEscaped();
}

QByteArray stili(const PaginaOdt& p) {
    double w = p.larghezza, h = p.altezza;
    if (p.orizzontale != (w > h)) std::swap(w, h);
    const QString mm = QStringLiteral("%1mm");
    auto n = [](double v) { return QString::number(v, 'f', 1); };
    const QString tab = n(w - 2 * p.margine);
    QString s = QStringLiteral(
        R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-styles xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
        R"(xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" )"
        R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" )"
        R"(xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" )"
        R"(xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" office:version="1.2">
<office:automatic-styles>
<style:page-layout style:name="Pagina">
<style:page-layout-properties fo:page-width="%1" fo:page-height="%2" style:print-orientation="%3" fo:margin-top="%4" fo:margin-bottom="%4" fo:margin-left="%4" fo:margin-right="%4"/>
<style:header-style><style:header-footer-properties fo:min-height="0mm" fo:margin-bottom="3mm"/></style:header-style>
<style:footer-style><style:header-footer-properties fo:min-height="0mm" fo:margin-top="3mm"/></style:footer-style>
</style:page-layout>
<style:style style:name="Testata" style:family="paragraph">
<style:paragraph-properties><style:tab-stops><style:tab-stop style:position="%5" style:type="right"/></style:tab-stops></style:paragraph-properties>
<style:text-properties fo:font-size="7.5pt" fo:color="#555b61"/>
</style:style>
</office:automatic-styles>
<office:master-styles>
<style:master-page style:name="Standard" style:page-layout-name="Pagina">
<style:header><text:p text:style-name="Testata">%6<text:tab/>%7</text:p></style:header>
<style:footer><text:p text:style-name="Testata">Stampato il %8<text:tab/>pagina <text:page-number text:select-page="current">1</text:page-number> di <text:page-count>1</text:page-count></text:p></style:footer>
</style:master-page>
</office:master-styles>
</office:document-styles>
)")
                    .arg(mm.arg(n(w)), mm.arg(n(h)),
                         p.orizzontale ? QStringLiteral("landscape") : QStringLiteral("portrait"),
                         mm.arg(n(p.margine)), mm.arg(tab), xml(p.centro), xml(p.titolo),
                         xml(p.data));
    return s.toUtf8();
}

// Qt writes a table's width of "100%" as "100pt" and a column's as "12%", no ODF length: a
// table gets its absolute width beside the relative one, a column a relative width ("12*").
// It also writes a tab mark before every line break.
QByteArray correggiContenuto(const QByteArray& contenuto, const PaginaOdt& p) {
    double w = p.larghezza, h = p.altezza;
    if (p.orizzontale != (w > h)) std::swap(w, h);
    const double corpo = w - 2 * p.margine;
    QString c = QString::fromUtf8(contenuto);
    static const QRegularExpression tab(QStringLiteral(R"re(<text:tab/>\s*<text:line-break/>)re"));
    c.replace(tab, QStringLiteral("<text:line-break/>"));
    static const QRegularExpression tabella(
        QStringLiteral(R"re((<style:table-properties[^>]*)style:width="([\d.]+)(?:%|pt)")re"));
    static const QRegularExpression colonna(
        QStringLiteral(R"re(style:column-width="([\d.]+)%")re"));
    QString out;
    qsizetype da = 0;
    for (auto it = tabella.globalMatch(c); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        // Every table of a report is a share of the page; a larger number is pixels.
        const double v = m.captured(2).toDouble();
        out += QStringView(c).mid(da, m.capturedStart() - da) + m.captured(1);
        if (v <= 100)
            out += QStringLiteral(R"(style:width="%1mm" style:rel-width="%2%")")
                       .arg(QString::number(corpo * v / 100, 'f', 1), m.captured(2));
        else
            out += QStringLiteral(R"(style:width="%1mm")").arg(QString::number(v * 25.4 / 96, 'f', 1));
        da = m.capturedEnd();
    }
    out += QStringView(c).mid(da);
    out.replace(colonna, QStringLiteral(R"(style:rel-column-width="\1*")"));
    return out.toUtf8();
}

} // namespace

QByteArray completaOdt(const QByteArray& odt, const PaginaOdt& pagina) {
    std::map<QString, QByteArray> m = leggiZip(odt);
    if (m.find(QStringLiteral("content.xml")) == m.end()) return odt;
    m[QStringLiteral("styles.xml")] = stili(pagina);
    QByteArray& manifest = m[QStringLiteral("META-INF/manifest.xml")];
    if (!manifest.contains("\"styles.xml\"")) {
        const qsizetype fine = manifest.lastIndexOf("</manifest:manifest>");
        if (fine >= 0)
            manifest.insert(fine, " <manifest:file-entry manifest:media-type=\"text/xml\" "
                                  "manifest:full-path=\"styles.xml\"/>\n");
    }
    m[QStringLiteral("content.xml")] = correggiContenuto(m[QStringLiteral("content.xml")], pagina);
    return scriviZip(m);
}

} // namespace stampa
