#include "common/vcard.h"

#include "common/text.h"
#include "db/error.h"

#include <QDate>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace common {
namespace {

// --- writing -----------------------------------------------------------------------------

// ";" would split structured values, so it becomes ","; a raw line break would end the
// property (or, before a blank, fold into the next one), so it is escaped with the backslash.
QString escaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u';')
            out += u',';
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r') {
            out += QStringLiteral("\\n");
            if (i + 1 < value.size() && value[i + 1] == u'\n') ++i;
        } else
            out += c;
    }
    return out;
}

void line(QString& out, QLatin1StringView property, const QString& value) {
    if (value.isEmpty()) return;
    out += property;
    out += escaped(value);
    out += u'\n';
}

bool digits(QStringView text) {
    for (QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// The date at the start of "1985-04-12", "19850412", either followed by "T…".
QDate leadingDate(const QString& text) {
    const QStringView t =
        QStringView(text).left(text.indexOf(u'T') < 0 ? text.size() : text.indexOf(u'T')).trimmed();
    if (t.size() == 10 && t[4] == u'-' && t[7] == u'-' && digits(t.mid(0, 4)) &&
        digits(t.mid(5, 2)) && digits(t.mid(8, 2)))
        return QDate(t.mid(0, 4).toInt(), t.mid(5, 2).toInt(), t.mid(8, 2).toInt());
    if (t.size() == 8 && digits(t))
        return QDate(t.mid(0, 4).toInt(), t.mid(4, 2).toInt(), t.mid(6, 2).toInt());
    return QDate();
}

QString basicDate(const QDate& d) {
    return QString::asprintf("%04d%02d%02d", d.year(), d.month(), d.day());
}

// Address books read "BDAY:19850412" as a day; a date with a time would be a moment.
QString birthdayValue(const QString& field) {
    const QDate d = leadingDate(field);
    return d.isValid() && d.year() > 0 ? basicDate(d) : field;
}

// REV is a timestamp: the revision day at midnight UTC.
QString revisionValue(const QString& field) {
    const QDate d = leadingDate(field);
    return d.isValid() && d.year() > 0 ? basicDate(d) + QStringLiteral("T000000Z") : field;
}

void address(QString& out, QLatin1StringView property, const QString& street, const QString& number,
             const QString& locality, const QString& region, const QString& code) {
    if (street.isEmpty()) return;
    out += property;
    out += QStringLiteral(";;") + escaped(street);
    // No " N°" without a number, or every export and import would grow the street.
    if (!number.isEmpty()) out += QStringLiteral(" N°") + escaped(number);
    out += u';' + escaped(locality) + u';' + escaped(region) + u';' + escaped(code) + u'\n';
}

// --- reading -----------------------------------------------------------------------------

QString decodeFile(const QByteArray& bytes) {
    if (const auto bom = QStringConverter::encodingForData(bytes);
        bom && *bom != QStringConverter::Utf8)
        return QStringDecoder(*bom).decode(bytes);
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    // Cards written by older programs are in the Windows code page; Latin-1 keeps their
    // accented letters.
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// Position of the ':' ending the property name and parameters; quoted parameter values
// may hold ':' themselves. -1 when the line has none.
qsizetype valueStart(QStringView line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u':' && !quoted)
            return i;
    }
    return line.indexOf(u':'); // an unbalanced quote: the first ':' will do
}

QList<QStringView> splitOutsideQuotes(QStringView text, QChar separator) {
    QList<QStringView> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.mid(start));
    return parts;
}

enum Kind : unsigned { Home = 1, Work = 2, Fax = 4, Cell = 8 };

struct Property {
    QString name;       // upper case, without group
    unsigned kinds = 0; // from bare words (TEL;HOME;FAX) and TYPE=home,fax alike
    bool quotedPrintable = false;
    QByteArray charset;
    QStringView value;
};

void addKind(Property& p, QStringView word) {
    word = word.trimmed();
    if (word.startsWith(u'"')) word = word.mid(1);
    if (word.endsWith(u'"')) word.chop(1);
    if (word.compare(u"HOME", Qt::CaseInsensitive) == 0)
        p.kinds |= Home;
    else if (word.compare(u"WORK", Qt::CaseInsensitive) == 0)
        p.kinds |= Work;
    else if (word.compare(u"FAX", Qt::CaseInsensitive) == 0)
        p.kinds |= Fax;
    else if (word.compare(u"CELL", Qt::CaseInsensitive) == 0)
        p.kinds |= Cell;
    else if (word.compare(u"QUOTED-PRINTABLE", Qt::CaseInsensitive) == 0)
        p.quotedPrintable = true;
}

bool parse(QStringView line, Property& p) {
    const qsizetype colon = valueStart(line);
    if (colon < 0) return false;
    p.value = line.mid(colon + 1);
    const QList<QStringView> header = splitOutsideQuotes(line.left(colon), u';');
    QStringView name = header.first().trimmed();
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0)
        name = name.mid(dot + 1); // "item1.EMAIL"
    p.name = name.toString().toUpper();
    for (qsizetype i = 1; i < header.size(); ++i) {
        const QStringView param = header[i];
        const qsizetype eq = param.indexOf(u'=');
        if (eq < 0) {
            addKind(p, param);
            continue;
        }
        const QStringView key = param.left(eq).trimmed(), val = param.mid(eq + 1);
        if (key.compare(u"TYPE", Qt::CaseInsensitive) == 0)
            for (QStringView word : val.trimmed().split(u','))
                addKind(p, word); // TYPE="work,voice" too
        else if (key.compare(u"ENCODING", Qt::CaseInsensitive) == 0)
            addKind(p, val);
        else if (key.compare(u"CHARSET", Qt::CaseInsensitive) == 0)
            p.charset = val.trimmed().toLatin1();
    }
    return true;
}

bool startsQuotedPrintable(QStringView line) {
    Property p;
    return parse(line, p) && p.quotedPrintable;
}

int hexValue(QChar c) {
    if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    return -1;
}

// vCard 2.1 values ("=C3=A0"), as phones still export them, in their CHARSET.
QString decodeQuotedPrintable(QStringView value, const QByteArray& charset) {
    QByteArray bytes;
    bytes.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'=' && i + 2 < value.size() && hexValue(value[i + 1]) >= 0 &&
            hexValue(value[i + 2]) >= 0) {
            bytes += char(hexValue(value[i + 1]) * 16 + hexValue(value[i + 2]));
            i += 2;
        } else {
            bytes += value[i].toLatin1();
        }
    }
    if (!charset.isEmpty() && charset.compare("UTF-8", Qt::CaseInsensitive) != 0) {
        QStringDecoder named(charset.constData());
        if (named.isValid()) return named.decode(bytes);
    }
    return decodeFile(bytes);
}

// RFC 6350 escapes: \\ \; \, \n (or \N). Another backslash is kept as it stands.
QString unescaped(QStringView value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar n = value[++i];
        if (n == u'n' || n == u'N')
            out += u'\n';
        else if (n == u'\\' || n == u';' || n == u',')
            out += n;
        else {
            out += c;
            out += n;
        }
    }
    return out;
}

// Components of N and ADR: split at the ";" that are not escaped.
QStringList components(QStringView value) {
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\')
            ++i;
        else if (value[i] == u';') {
            parts.append(unescaped(value.mid(start, i - start)));
            start = i + 1;
        }
    }
    parts.append(unescaped(value.mid(start)));
    return parts;
}

QString withoutScheme(QString value, QLatin1StringView scheme) {
    if (value.startsWith(scheme, Qt::CaseInsensitive)) value.remove(0, scheme.size());
    return value;
}

// Dates come back as "YYYY-MM-DD" whichever form the card used; other texts as they are.
QString dateField(const QString& value) {
    const QDate d = leadingDate(value);
    return d.isValid() && d.year() > 0 ? DataIso(d) : value;
}

template <size_t N> void intoFirstEmpty(std::array<QString, N>& slots, const QString& value) {
    for (QString& s : slots)
        if (s.isEmpty()) {
            s = value;
            return;
        }
}

void setIfEmpty(QString& field, const QString& value) {
    if (field.isEmpty()) field = value;
}

// A typed value belongs to work only when it says WORK and not HOME: untyped numbers and
// addresses are the person's own, which the client register keeps.
bool isWork(const Property& p) {
    return (p.kinds & Work) && !(p.kinds & Home);
}

void apply(const Property& p, ContattoVCard& c) {
    const QString& n = p.name;
    const QString value = p.quotedPrintable ? decodeQuotedPrintable(p.value, p.charset) : QString();
    const QStringView raw = p.quotedPrintable ? QStringView(value) : p.value;
    if (n == u"N" || n == u"NAME") {
        const QStringList parts = components(raw);
        QString* targets[] = {&c.cognome, &c.nome, &c.altriNomi, &c.prefisso, &c.suffisso};
        for (qsizetype i = 0; i < 5; ++i)
            *targets[i] = i < parts.size() ? parts[i] : QString();
    } else if (n == u"ADR") {
        const QStringList parts = components(raw);
        auto part = [&](qsizetype i) { return i < parts.size() ? parts[i] : QString(); };
        const bool work = isWork(p);
        QString& via = work ? c.viaLavoro : c.viaCasa;
        QString& localita = work ? c.localitaLavoro : c.localitaCasa;
        QString& regione = work ? c.regioneLavoro : c.regioneCasa;
        QString& cap = work ? c.capLavoro : c.capCasa;
        if (!via.isEmpty() || !localita.isEmpty() || !regione.isEmpty() || !cap.isEmpty()) return;
        via = part(2);
        localita = part(3);
        regione = part(4);
        cap = part(5);
    } else if (n == u"TEL") {
        const QString number = withoutScheme(unescaped(raw).trimmed(), QLatin1StringView("tel:"));
        const bool work = isWork(p);
        if (p.kinds & Fax)
            setIfEmpty(work ? c.faxLavoro : c.faxCasa, number);
        else if (p.kinds & Cell)
            intoFirstEmpty(work ? c.cellLavoro : c.cellCasa, number);
        else
            intoFirstEmpty(work ? c.telLavoro : c.telCasa, number);
    } else if (n == u"EMAIL") {
        intoFirstEmpty(isWork(p) ? c.emailLavoro : c.emailCasa, unescaped(raw).trimmed());
    } else if (n == u"URL") {
        setIfEmpty(isWork(p) ? c.webLavoro : c.webCasa, unescaped(raw));
    } else {
        struct Simple {
            const char16_t* name;
            QString ContattoVCard::*field;
        };
        static const Simple simple[] = {
            {u"UID", &ContattoVCard::identificativo},   {u"ORG", &ContattoVCard::organizzazione},
            {u"TITLE", &ContattoVCard::titolo},         {u"PHOTO", &ContattoVCard::foto},
            {u"LABEL", &ContattoVCard::etichetta},      {u"NOTE", &ContattoVCard::nota},
            {u"ROLE", &ContattoVCard::ruolo},           {u"KEY", &ContattoVCard::chiave},
            {u"CATEGORIES", &ContattoVCard::categorie},
        };
        for (const Simple& s : simple)
            if (n == s.name) {
                c.*s.field = unescaped(raw);
                return;
            }
        if (n == u"GEO")
            c.posizione = withoutScheme(unescaped(raw), QLatin1StringView("geo:"));
        else if (n == u"REV")
            c.revisione = dateField(unescaped(raw).trimmed());
        else if (n == u"BDAY")
            c.compleanno = dateField(unescaped(raw).trimmed());
    }
}

// Collects the cards while the logical lines go by.
class Reader {
public:
    void logicalLine(QStringView line) {
        Property p;
        if (!parse(line, p)) return;
        const bool vcard = p.value.trimmed().compare(u"VCARD", Qt::CaseInsensitive) == 0;
        if (p.name == u"BEGIN" && vcard) {
            close(); // a card without END ends where the next one begins
            m_cards.append(ContattoVCard());
            m_open = true;
        } else if (p.name == u"END" && vcard) {
            close();
        } else if (m_open) {
            apply(p, m_cards.last());
        }
    }
    QList<ContattoVCard> cards() {
        close();
        return std::move(m_cards);
    }

private:
    // Empty cards carry nothing to import, and a file of bare BEGIN lines must not fill
    // the memory with them.
    void close() {
        if (m_open && m_cards.last() == ContattoVCard()) m_cards.removeLast();
        m_open = false;
    }

    QList<ContattoVCard> m_cards;
    bool m_open = false;
};

} // namespace

// --- vCard -------------------------------------------------------------------------------

QString ScriviVCard(const ContattoVCard& c) {
    QString out = QStringLiteral("\nBEGIN:VCARD\nVERSION:4.0\n");
    line(out, QLatin1StringView("FN:"), c.organizzazione);
    if (!c.cognome.isEmpty()) {
        out += QStringLiteral("FN:") + escaped(c.nome) + u' ' + escaped(c.cognome) + u'\n';
        out += QStringLiteral("N:") + escaped(c.cognome) + u';' + escaped(c.nome) + u';' +
               escaped(c.altriNomi) + u';' + escaped(c.prefisso) + u';' + escaped(c.suffisso) +
               u'\n';
    }
    line(out, QLatin1StringView("CATEGORIES:"), c.categorie);
    QString web = c.webCasa;
    web.remove(u';').remove(u',');
    line(out, QLatin1StringView("URL;HOME:"), web);
    line(out, QLatin1StringView("URL;WORK:"), c.webLavoro);
    line(out, QLatin1StringView("ORG:"), c.organizzazione);
    line(out, QLatin1StringView("TITLE:"), c.titolo);
    if (!c.foto.isEmpty())
        out += QStringLiteral("PHOTO;MEDIATYPE=image/") + escaped(EstensioneFile(c.foto)) + u':' +
               escaped(c.foto) + u'\n';
    for (const QString& t : c.telCasa)
        line(out, QLatin1StringView("TEL;HOME;VOICE:"), t);
    for (const QString& t : c.telLavoro)
        line(out, QLatin1StringView("TEL;WORK;VOICE:"), t);
    line(out, QLatin1StringView("TEL;HOME;FAX;VOICE:"), c.faxCasa);
    line(out, QLatin1StringView("TEL;WORK;FAX;VOICE:"), c.faxLavoro);
    for (const QString& t : c.cellCasa)
        line(out, QLatin1StringView("TEL;HOME;CELL;VOICE:"), t);
    for (const QString& t : c.cellLavoro)
        line(out, QLatin1StringView("TEL;WORK;CELL;VOICE:"), t);
    for (const QString& e : c.emailCasa)
        line(out, QLatin1StringView("EMAIL;HOME;PREF;INTERNET:"), e);
    for (const QString& e : c.emailLavoro)
        line(out, QLatin1StringView("EMAIL;WORK;PREF;INTERNET:"), e);
    address(out, QLatin1StringView("ADR;HOME:"), c.viaCasa, c.civicoCasa, c.localitaCasa,
            c.regioneCasa, c.capCasa);
    address(out, QLatin1StringView("ADR;WORK:"), c.viaLavoro, c.civicoLavoro, c.localitaLavoro,
            c.regioneLavoro, c.capLavoro);
    line(out, QLatin1StringView("UID:"), c.prefissoIdentificativo + c.identificativo);
    line(out, QLatin1StringView("NOTE:"), c.nota);
    line(out, QLatin1StringView("ROLE:"), c.ruolo);
    line(out, QLatin1StringView("GEO:geo:"), c.posizione);
    line(out, QLatin1StringView("KEY:"), c.chiave);
    if (!c.revisione.isEmpty()) line(out, QLatin1StringView("REV:"), revisionValue(c.revisione));
    if (!c.compleanno.isEmpty()) line(out, QLatin1StringView("BDAY:"), birthdayValue(c.compleanno));
    line(out, QLatin1StringView("LABEL:"), c.etichetta);
    out += QStringLiteral("END:VCARD\n");
    return out;
}

QList<ContattoVCard> LeggiVCardDati(const QByteArray& dati) {
    const QString text = decodeFile(dati);
    const QStringView all(text);
    Reader reader;
    QString current;         // the logical line being joined
    bool open = false;       // whether `current` holds a line
    bool softBreaks = false; // quoted-printable: a final "=" joins the next physical line
    qsizetype start = 0;
    while (start <= all.size()) {
        qsizetype end = start;
        while (end < all.size() && all[end] != u'\n' && all[end] != u'\r')
            ++end;
        const QStringView physical = all.mid(start, end - start);
        if (end < all.size() && all[end] == u'\r' && end + 1 < all.size() && all[end + 1] == u'\n')
            ++end;
        start = end + 1;

        if (open && softBreaks && current.endsWith(u'=')) {
            current.chop(1);
            current += physical;
        } else if (open && !physical.isEmpty() && (physical[0] == u' ' || physical[0] == u'\t')) {
            current += physical.mid(1); // folded line
        } else {
            if (open) reader.logicalLine(current);
            current = physical.toString();
            open = true;
            softBreaks = current.endsWith(u'=') && startsQuotedPrintable(current);
        }
    }
    if (open) reader.logicalLine(current);
    return reader.cards();
}

QList<ContattoVCard> LeggiVCard(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw db::DatabaseError(
            QStringLiteral("Impossibile leggere il file %1: %2").arg(fileName, f.errorString()));
    return LeggiVCardDati(f.readAll());
}

// --- iCalendar ---------------------------------------------------------------------------

QString ScriviVEvent(const EventoIcal& e) {
    QString out = QStringLiteral("BEGIN:VEVENT\n");
    auto plain = [&out](const char* property, const QString& value) {
        if (!value.isEmpty()) out += QLatin1StringView(property) + value + u'\n';
    };
    plain("CREATED:", e.creato);
    line(out, QLatin1StringView("DESCRIPTION:"), e.descrizione);
    plain("DTEND:", e.fine);
    plain("DTSTAMP:", e.timbro);
    plain("DTSTART:", e.inizio);
    plain("LAST-MODIFIED:", e.ultimaModifica);
    line(out, QLatin1StringView("LOCATION:"), e.luogo);
    plain("PRIORITY:", e.priorita);
    plain("SEQUENCE:", e.sequenza);
    line(out, QLatin1StringView("SUMMARY;LANGUAGE=it-IT:"), e.sommario);
    plain("OPAQUE:", e.opaco);
    plain("UID:", e.identificativo);
    out += QStringLiteral("X-MICROSOFT-CDO-BUSYSTATUS:BUSY\n"
                          "X-MICROSOFT-CDO-IMPORTANCE:1\n"
                          "X-MICROSOFT-DISALLOW-COUNTER:FALSE\n"
                          "X-MS-OLK-ALLOWEXTERNCHECK:TRUE\n"
                          "X-MS-OLK-AUTOFILLLOCATION:FALSE\n"
                          "X-MS-OLK-CONFTYPE:0\n"
                          "END:VEVENT\n");
    return out;
}

QString DataOraIcal(const QDateTime& dataOra) {
    if (!dataOra.isValid()) return QString();
    const QDateTime utc = dataOra.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    return QString::asprintf("%04d%02d%02dT%02d%02d%02dZ", d.year(), d.month(), d.day(), t.hour(),
                             t.minute(), t.second());
}

// --- files -------------------------------------------------------------------------------

void ScriviFileTesto(const QString& fileName, const QString& testo) {
    auto fail = [&fileName](const QString& why) {
        throw db::DatabaseError(
            QStringLiteral("Impossibile scrivere il file %1: %2").arg(fileName, why));
    };
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly)) fail(f.errorString());
    const QByteArray bytes = testo.toUtf8();
    if (f.write(bytes) != bytes.size()) {
        const QString why = f.errorString();
        f.cancelWriting();
        fail(why);
    }
    if (!f.commit()) fail(f.errorString());
}

} // namespace common
