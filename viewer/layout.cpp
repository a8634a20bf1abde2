#include "viewer/layout.h"

#include "viewer/errore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>

namespace stampa {
namespace {

[[noreturn]] void errore(const QString& percorso, int riga, const QString& testo) {
    throw ErroreStampa(QStringLiteral("Report %1, riga %2: %3")
                           .arg(QFileInfo(percorso).fileName())
                           .arg(riga)
                           .arg(testo));
}

QStringList elenco(const QString& valore) {
    QStringList out;
    for (const QString& v : valore.split(u',', Qt::SkipEmptyParts))
        if (!v.trimmed().isEmpty()) out.append(v.trimmed());
    return out;
}

double numero(const QString& testo, bool* ok) {
    QString t = testo.trimmed();
    t.replace(u',', u'.');
    return QLocale::c().toDouble(t, ok);
}

Calcolato leggiCalcolato(const QString& valore, const QString& percorso, int riga) {
    const qsizetype uguale = valore.indexOf(u'=');
    if (uguale <= 0) errore(percorso, riga, QStringLiteral("\"calcola\" vuole nome = espressione"));
    Calcolato c;
    c.nome = valore.left(uguale).trimmed();
    static const QRegularExpression termine(QStringLiteral(R"(\s*([*/])?\s*([^*/\s]+)\s*)"));
    const QString espressione = valore.mid(uguale + 1);
    qsizetype pos = 0;
    while (pos < espressione.size()) {
        const QRegularExpressionMatch m =
            termine.match(espressione, pos, QRegularExpression::NormalMatch,
                          QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch() || m.capturedLength() == 0)
            errore(percorso, riga,
                   QStringLiteral("espressione non valida: ") + espressione.trimmed());
        Calcolato::Fattore f;
        f.dividi = m.captured(1) == u"/";
        if (c.fattori.empty() != m.captured(1).isEmpty())
            errore(percorso, riga,
                   QStringLiteral("espressione non valida: ") + espressione.trimmed());
        bool ok = false;
        const double n = numero(m.captured(2), &ok);
        if (ok)
            f.numero = n;
        else
            f.campo = m.captured(2);
        c.fattori.push_back(f);
        pos = m.capturedEnd();
    }
    if (c.nome.isEmpty() || c.fattori.empty())
        errore(percorso, riga, QStringLiteral("\"calcola\" vuole nome = espressione"));
    return c;
}

} // namespace

bool Layout::haParametro(const QString& nome) const {
    return parametri.contains(nome, Qt::CaseInsensitive);
}

Layout leggiLayoutDaTesto(const QString& testo, const QString& percorso) {
    Layout l;
    l.percorso = percorso;
    l.titolo = QFileInfo(percorso).completeBaseName();
    QStringList righe = testo.split(u'\n');
    for (QString& r : righe)
        if (r.endsWith(u'\r')) r.chop(1);
    int i = 0;
    while (i < righe.size() && righe[i].trimmed().isEmpty())
        ++i;
    if (i < righe.size() && righe[i].trimmed() == u"---") {
        const int inizio = i;
        for (++i;; ++i) {
            if (i >= righe.size())
                errore(percorso, inizio + 1,
                       QStringLiteral("l'intestazione non è chiusa da \"---\""));
            const QString riga = righe[i].trimmed();
            if (riga == u"---") break;
            if (riga.isEmpty() || riga.startsWith(u'#')) continue;
            const qsizetype dp = riga.indexOf(u':');
            if (dp <= 0) errore(percorso, i + 1, QStringLiteral("attesa \"chiave: valore\""));
            const QString chiave = riga.left(dp).trimmed().toLower();
            const QString valore = riga.mid(dp + 1).trimmed();
            if (chiave == u"orientamento") {
                if (valore.compare(u"verticale", Qt::CaseInsensitive) == 0)
                    l.orizzontale = false;
                else if (valore.compare(u"orizzontale", Qt::CaseInsensitive) == 0)
                    l.orizzontale = true;
                else
                    errore(percorso, i + 1,
                           QStringLiteral("orientamento \"verticale\" o \"orizzontale\""));
            } else if (chiave == u"titolo") {
                l.titolo = valore;
            } else if (chiave == u"sottoreport") {
                l.sottoreport = elenco(valore);
            } else if (chiave == u"parametri") {
                l.parametri = elenco(valore);
            } else if (chiave == u"gruppo") {
                l.gruppo = elenco(valore);
            } else if (chiave == u"ordine-gruppi") {
                l.ordineGruppi = elenco(valore);
            } else if (chiave == u"calcola") {
                l.calcolati.push_back(leggiCalcolato(valore, percorso, i + 1));
            } else if (chiave == u"numerazione") {
                if (valore.compare(u"documento", Qt::CaseInsensitive) == 0)
                    l.numeraDocumenti = true;
                else if (valore.compare(u"report", Qt::CaseInsensitive) == 0)
                    l.numeraDocumenti = false;
                else
                    errore(percorso, i + 1,
                           QStringLiteral("numerazione \"report\" o \"documento\""));
            } else if (chiave == u"carattere" || chiave == u"margini") {
                bool ok = false;
                const double n = numero(valore, &ok);
                if (!ok || n <= 0 || n > 72)
                    errore(percorso, i + 1, QStringLiteral("numero non valido: ") + valore);
                (chiave == u"carattere" ? l.carattere : l.margini) = n;
            } else {
                errore(percorso, i + 1, QStringLiteral("chiave sconosciuta \"%1\"").arg(chiave));
            }
        }
        ++i;
    } else {
        i = 0;
    }
    l.rigaModello = i + 1;
    l.modello = righe.mid(i).join(u'\n');
    return l;
}

Layout leggiLayout(const QString& percorso) {
    if (percorso.isEmpty())
        throw ErroreStampa(QStringLiteral("Nessun report indicato nella stampa."));
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroreStampa(
            QStringLiteral("Impossibile aprire il report %1: %2").arg(percorso, f.errorString()));
    const QByteArray dati = f.readAll();
    // A picture or any other file named by mistake must not print as garbage: a layout is
    // UTF-8 text that opens with its header.
    const QString nome = QDir::toNativeSeparators(percorso);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString testo = utf8(dati);
    if (utf8.hasError() || dati.contains('\0'))
        throw ErroreStampa(
            QStringLiteral("Il file %1 non è un report di Vastrel: non è un file di testo").arg(nome));
    if (testo.startsWith(QChar(0xFEFF))) testo.remove(0, 1);
    if (testo.trimmed().section(u'\n', 0, 0).trimmed() != u"---")
        throw ErroreStampa(QStringLiteral("Il file %1 non è un report di Vastrel: manca "
                                          "l'intestazione (la prima riga deve essere \"---\")")
                               .arg(nome));
    return leggiLayoutDaTesto(testo, percorso);
}

} // namespace stampa
