#include "common/vcard.h"
#include "db/error.h"
#include "support/filelimit.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <random>

using namespace common;

namespace common {
// Failures show the card the contact would make.
void PrintTo(const ContattoVCard& c, std::ostream* os) {
    *os << ScriviVCard(c).toStdString();
}
} // namespace common

namespace {

// Every field filled, with accents, an apostrophe, an emoji, a line break and a backslash.
// clang-format off
ContattoVCard full() {
    return ContattoVCard{
        .cognome = "D'Angelo", .nome = "Nicolò", .altriNomi = "Maria", .prefisso = "Dott.", .suffisso = "Jr.",
        .organizzazione = "Palestra Zoè", .titolo = "Istruttore", .foto = "/home/zoe/foto/nicolò.jpg",
        .telCasa = {"049 123456", "049 654321"}, .faxCasa = "049 111", .telLavoro = {"049 222", "049 333"},
        .faxLavoro = "049 444", .cellCasa = {"333 1234567", "334 7654321"}, .cellLavoro = {"335 1", "336 2"},
        .emailCasa = {"nicolo@example.it", "n2@example.it", "n3@example.it", "n4@example.it"},
        .emailLavoro = {"w1@example.it", "w2@example.it", "w3@example.it", "w4@example.it"},
        .webCasa = "https://zoe.example/nicolò", .webLavoro = "https://palestra.example",
        .viaCasa = "Via Sant'Elia", .viaLavoro = "Riviera Tito Livio", .regioneCasa = "PD", .regioneLavoro = "PD",
        .localitaCasa = "Padova", .localitaLavoro = "Abano Terme", .civicoCasa = "12/b", .civicoLavoro = "3",
        .capCasa = "35121", .capLavoro = "35031", .etichetta = "Casa", .identificativo = "42",
        .prefissoIdentificativo = "Vastrel", .nota = "Ama il nuoto 🏊\nseconda riga \\ fine", .ruolo = "Socio",
        .revisione = "2024-03-05", .compleanno = "1985-04-12", .chiave = "https://zoe.example/key.asc",
        .posizione = "45.4064,11.8768", .categorie = "clienti,nuoto"};
}
// clang-format on

} // namespace

TEST(VCardWriter, FieldsToLines) {
    struct Case {
        const char* name;
        ContattoVCard contact;
        const char* text;
    };
    // clang-format off
    const Case cases[] = {
        {"every field, in the order of the record", full(),
         "\nBEGIN:VCARD\nVERSION:4.0\n"
         "FN:Palestra Zoè\nFN:Nicolò D'Angelo\nN:D'Angelo;Nicolò;Maria;Dott.;Jr.\n"
         "CATEGORIES:clienti,nuoto\n"
         "URL;HOME:https://zoe.example/nicolò\nURL;WORK:https://palestra.example\n"
         "ORG:Palestra Zoè\nTITLE:Istruttore\n"
         "PHOTO;MEDIATYPE=image/jpg:/home/zoe/foto/nicolò.jpg\n"
         "TEL;HOME;VOICE:049 123456\nTEL;HOME;VOICE:049 654321\n"
         "TEL;WORK;VOICE:049 222\nTEL;WORK;VOICE:049 333\n"
         "TEL;HOME;FAX;VOICE:049 111\nTEL;WORK;FAX;VOICE:049 444\n"
         "TEL;HOME;CELL;VOICE:333 1234567\nTEL;HOME;CELL;VOICE:334 7654321\n"
         "TEL;WORK;CELL;VOICE:335 1\nTEL;WORK;CELL;VOICE:336 2\n"
         "EMAIL;HOME;PREF;INTERNET:nicolo@example.it\nEMAIL;HOME;PREF;INTERNET:n2@example.it\n"
         "EMAIL;HOME;PREF;INTERNET:n3@example.it\nEMAIL;HOME;PREF;INTERNET:n4@example.it\n"
         "EMAIL;WORK;PREF;INTERNET:w1@example.it\nEMAIL;WORK;PREF;INTERNET:w2@example.it\n"
         "EMAIL;WORK;PREF;INTERNET:w3@example.it\nEMAIL;WORK;PREF;INTERNET:w4@example.it\n"
         "ADR;HOME:;;Via Sant'Elia N°12/b;Padova;PD;35121\n"
         "ADR;WORK:;;Riviera Tito Livio N°3;Abano Terme;PD;35031\n"
         "UID:Vastrel42\nNOTE:Ama il nuoto 🏊\\nseconda riga \\\\ fine\nROLE:Socio\n"
         "GEO:geo:45.4064,11.8768\nKEY:https://zoe.example/key.asc\n"
         "REV:20240305T000000Z\nBDAY:19850412\nLABEL:Casa\nEND:VCARD\n"},
        {"surname without organisation: one FN, no BDAY", ContattoVCard{.cognome = "Rossi", .nome = "Mario"},
         "\nBEGIN:VCARD\nVERSION:4.0\nFN:Mario Rossi\nN:Rossi;Mario;;;\nEND:VCARD\n"},
        {"';' becomes ',', the home web address loses both; no number, no ' N°'",
         ContattoVCard{.cognome = "Rossi;Bianchi", .nome = "Anna", .webCasa = "https://x.it/a;b,c",
                       .webLavoro = "https://y.it/a;b,c", .viaCasa = "Via Roma", .localitaCasa = "Padova",
                       .nota = "a;b\r\nc\rd"},
         "\nBEGIN:VCARD\nVERSION:4.0\nFN:Anna Rossi,Bianchi\nN:Rossi,Bianchi;Anna;;;\n"
         "URL;HOME:https://x.it/abc\nURL;WORK:https://y.it/a,b,c\n"
         "ADR;HOME:;;Via Roma;Padova;;\nNOTE:a,b\\nc\\nd\nEND:VCARD\n"},
        {"no surname: no FN nor N; a birthday that is not a date as it stands",
         ContattoVCard{.nome = "Mario", .telCasa = {"", "049 2"}, .compleanno = "--0412"},
         "\nBEGIN:VCARD\nVERSION:4.0\nTEL;HOME;VOICE:049 2\nBDAY:--0412\nEND:VCARD\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ScriviVCard(c.contact).toStdString(), c.text);
    }
}

TEST(VCardReader, TextsToFields) {
    struct Case {
        const char* name;
        QByteArray text;
        QList<ContattoVCard> cards;
    };
    // clang-format off
    const Case cases[] = {
        {"RFC 6350 parameters, groups, CRLF, lower case, folded lines",
         "BEGIN:VCARD\r\nVERSION:4.0\r\nn:Rossi;Mario;;;\r\n"
         "item1.EMAIL;TYPE=home:mario@example.it\r\nitem1.X-ABLabel:casa\r\n"
         "TEL;TYPE=home,voice:049 1\r\nTEL;VALUE=uri;TYPE=\"work,voice\":tel:+39-049-2\r\n"
         "TEL;TYPE=cell:333 1\r\nTEL;TYPE=CELL:333 2\r\nTEL;TYPE=cell:333 3\r\n"
         "Tel;type=work;type=fax:049 9\r\nEMAIL:senza@tipo.it\r\nEMAIL;TYPE=work:lavoro@example.it\r\n"
         "ADR;TYPE=home;LABEL=\"Via Roma 1:Padova\":;;Via Roma 1;Padova;PD;35100;Italia\r\n"
         "NOTE:una nota pie\r\n gata\r\n\t lunga\r\nBDAY:1985-04-12\r\nREV:2024-03-05T19:52:43Z\r\n"
         "END:VCARD\r\n",
         {ContattoVCard{.cognome = "Rossi", .nome = "Mario", .telCasa = {"049 1"}, .telLavoro = {"+39-049-2"},
                        .faxLavoro = "049 9", .cellCasa = {"333 1", "333 2"},
                        .emailCasa = {"mario@example.it", "senza@tipo.it"}, .emailLavoro = {"lavoro@example.it"},
                        .viaCasa = "Via Roma 1", .regioneCasa = "PD", .localitaCasa = "Padova", .capCasa = "35100",
                        .nota = "una nota piegata lunga", .revisione = "2024-03-05", .compleanno = "1985-04-12"}}},
        {"bare-word parameters and escapes",
         "BEGIN:VCARD\nVERSION:4.0\nFN:Anna Rossi\nN:Rossi\\;Bianchi;Anna;;;\n"
         "TEL;HOME;FAX;VOICE:049 3\nTEL;WORK;CELL;VOICE:335 1\nEMAIL;WORK;PREF;INTERNET:w@example.it\n"
         "URL;WORK:https://y.it\nADR;WORK:;;Via Po N°3;Torino;TO;10100\nADR:;;Via Roma;Padova;;\n"
         "NOTE:a\\;b\\,c\\\\d\\ne\\Nf\\x\nGEO:geo:45.4,11.8\nBDAY:19850412T195243Z\n"
         "PHOTO;MEDIATYPE=image/jpg:/x/y.jpg\nEND:VCARD\n",
         {ContattoVCard{.cognome = "Rossi;Bianchi", .nome = "Anna", .foto = "/x/y.jpg", .faxCasa = "049 3",
                        .cellLavoro = {"335 1"}, .emailLavoro = {"w@example.it"}, .webLavoro = "https://y.it",
                        .viaCasa = "Via Roma", .viaLavoro = "Via Po N°3", .regioneLavoro = "TO",
                        .localitaCasa = "Padova", .localitaLavoro = "Torino", .capLavoro = "10100",
                        .nota = "a;b,c\\d\ne\nf\\x", .compleanno = "1985-04-12", .posizione = "45.4,11.8"}}},
        {"cards without END, text outside cards, an empty card",
         "intestazione\nBEGIN:VCARD\nN:Uno;;;;\nBEGIN:VCARD\nN:Due;;;;\nEND:VCARD\nriga vagante:valore\n"
         "begin:vcard\nN:Tre\nBEGIN:VCARD\nEND:VCARD\n",
         {ContattoVCard{.cognome = "Uno"}, ContattoVCard{.cognome = "Due"}, ContattoVCard{.cognome = "Tre"}}},
        {"Latin-1 file", "BEGIN:VCARD\nN:Luc\xe0;Nicol\xf2;;;\nEND:VCARD",
         {ContattoVCard{.cognome = "Lucà", .nome = "Nicolò"}}},
        {"byte-order mark, vCard 2.1 quoted-printable with soft line breaks",
         "\xEF\xBB\xBF" "BEGIN:VCARD\nVERSION:2.1\n"
         "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Luc=C3=A0;Niccol=C3=\n=B2;;;\n"
         "ORG;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:Caff=E8\nNOTE;QUOTED-PRINTABLE:riga=0D=0Adue=\n\nEND:VCARD\n",
         {ContattoVCard{.cognome = "Lucà", .nome = "Niccolò", .organizzazione = "Caffè", .nota = "riga\r\ndue"}}},
        {"no card", "solo testo\nEND:VCARD\nN:Rossi;Mario\n", {}}, {"empty file", "", {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<ContattoVCard> cards = LeggiVCardDati(c.text);
        ASSERT_EQ(cards.size(), c.cards.size());
        for (qsizetype i = 0; i < cards.size(); ++i)
            EXPECT_EQ(cards[i], c.cards[i]) << "card " << i;
    }
}

TEST(VCardReader, SurvivesTenMegabytesOfJunk) {
    const int size = 10 << 20;
    QByteArray random(size, '\0');
    std::mt19937 rng(7);
    for (char& b : random)
        b = char(rng());
    EXPECT_TRUE(LeggiVCardDati(random).isEmpty());
    EXPECT_TRUE(LeggiVCardDati(QByteArray("BEGIN:VCARD\n").repeated(size / 12)).isEmpty());

    // Long joins must stay linear: a note folded over three million lines, a quoted-printable
    // value over two million soft breaks, a property with two million parameters.
    QList<ContattoVCard> cards = LeggiVCardDati(
        "BEGIN:VCARD\nNOTE:a\n" + QByteArray(" x\n").repeated(3'000'000) + "END:VCARD\n");
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0].nota, QString(QStringLiteral("a") + QString(3'000'000, u'x')));
    cards = LeggiVCardDati("BEGIN:VCARD\nNOTE;ENCODING=QUOTED-PRINTABLE:=\n" +
                           QByteArray("=41=\n").repeated(2'000'000) + "\nEND:VCARD\n");
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0].nota, QString(2'000'000, u'A'));
    cards = LeggiVCardDati("BEGIN:VCARD\nTEL" + QByteArray(";HOME").repeated(2'000'000) + ":1\n");
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0].telCasa[0], QStringLiteral("1"));
}

TEST(VCardExchange, FullRecordRoundTrip) {
    const ContattoVCard written = full();
    ContattoVCard expected = written;
    // The number comes back inside the street and the UID as one identifier.
    expected.viaCasa = QStringLiteral("Via Sant'Elia N°12/b");
    expected.viaLavoro = QStringLiteral("Riviera Tito Livio N°3");
    expected.civicoCasa = expected.civicoLavoro = expected.prefissoIdentificativo = QString();
    expected.identificativo = QStringLiteral("Vastrel42");
    const QList<ContattoVCard> read = LeggiVCardDati(
        (ScriviVCard(written) + ScriviVCard(ContattoVCard{.cognome = "Rossi"})).toUtf8());
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0], expected);
    EXPECT_EQ(read[1], ContattoVCard{.cognome = "Rossi"});
}

TEST(TextFiles, WrittenAsUtf8WholeOrNotAtAll) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("contatti.vcf"));
    const QString text = ScriviVCard(full());
    ScriviFileTesto(path, text);
    EXPECT_EQ(testing_support::fileBytes(path), text.toUtf8()); // no byte-order mark, line feeds as given
    EXPECT_EQ(LeggiVCard(path).value(0).nome, QStringLiteral("Nicolò"));

    // A write stopped half-way (a full disk) leaves the previous file whole.
    testing_support::withFileSizeLimit(4096, [&] {
        try {
            ScriviFileTesto(path, QString(100'000, u'x'));
            ADD_FAILURE() << "no error";
        } catch (const db::DatabaseError& e) {
            EXPECT_TRUE(e.text().contains(path)) << e.text().toStdString();
        }
    });
    EXPECT_EQ(testing_support::fileBytes(path), text.toUtf8());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("contatti.vcf")});

    const QString missing = dir.filePath(QStringLiteral("manca/contatti.vcf"));
    for (auto action : {+[](const QString& p) { ScriviFileTesto(p, QStringLiteral("x")); },
                        +[](const QString& p) { LeggiVCard(p); }}) {
        try {
            action(missing);
            ADD_FAILURE() << "no error";
        } catch (const db::DatabaseError& e) {
            EXPECT_TRUE(e.text().contains(missing)) << e.text().toStdString();
        }
    }
}

TEST(ICalendar, EventLinesAndDateTimes) {
    const QString fixed =
        QStringLiteral("X-MICROSOFT-CDO-BUSYSTATUS:BUSY\nX-MICROSOFT-CDO-IMPORTANCE:1\n"
                       "X-MICROSOFT-DISALLOW-COUNTER:FALSE\nX-MS-OLK-ALLOWEXTERNCHECK:TRUE\n"
                       "X-MS-OLK-AUTOFILLLOCATION:FALSE\nX-MS-OLK-CONFTYPE:0\nEND:VEVENT\n");
    EXPECT_EQ(ScriviVEvent(EventoIcal{}), QStringLiteral("BEGIN:VEVENT\n") + fixed);
    // clang-format off
    const EventoIcal all{"20240305T000000Z", "desc; due\nrighe", "20240305T173000Z", "20240305T183000Z",
                         "20240301T080000Z", "20240302T080000Z", "Sala 1; piano terra", "1", "2",
                         "Rossi - Pilates / Bianchi Anna : nota;", "OPAQUE", "Vastrel-7"};
    // clang-format on
    EXPECT_EQ(ScriviVEvent(all),
              QStringLiteral(
                  "BEGIN:VEVENT\nCREATED:20240305T000000Z\nDESCRIPTION:desc, due\\nrighe\n"
                  "DTEND:20240305T183000Z\nDTSTAMP:20240301T080000Z\nDTSTART:20240305T173000Z\n"
                  "LAST-MODIFIED:20240302T080000Z\nLOCATION:Sala 1, piano terra\nPRIORITY:1\n"
                  "SEQUENCE:2\nSUMMARY;LANGUAGE=it-IT:Rossi - Pilates / Bianchi Anna : nota,\n"
                  "OPAQUE:OPAQUE\nUID:Vastrel-7\n") +
                  fixed);

    const QDate day(2024, 3, 5);
    EXPECT_EQ(DataOraIcal(QDateTime(day, QTime(18, 30), Qt::OffsetFromUTC, 3600)), "20240305T173000Z");
    EXPECT_EQ(DataOraIcal(QDateTime(day, QTime(0, 30, 5), Qt::OffsetFromUTC, 7200)), "20240304T223005Z");
    EXPECT_EQ(DataOraIcal(QDateTime(day, QTime(9, 5, 7), Qt::UTC)), "20240305T090507Z");
    EXPECT_EQ(DataOraIcal(QDateTime()), QString());
}

// Each card's lines as vobject reads them: the name, the value (a structured value's parts
// joined by "|") and the bare-word parameters.
static const char* const VobjectDump = R"(
import json, sys, vobject
def flat(v):
    if hasattr(v, 'family'): v = [v.family, v.given, v.additional, v.prefix, v.suffix]
    elif hasattr(v, 'street'): v = [v.box, v.extended, v.street, v.city, v.region, v.code]
    else: return v
    return '|'.join(','.join(p) if isinstance(p, list) else p for p in v)
print(json.dumps([['|'.join([l.name, flat(l.value)] + l.singletonparams) for l in c.lines()
                   if l.name in ('FN', 'N', 'TEL', 'EMAIL', 'ADR', 'BDAY', 'UID', 'NOTE')]
                  for c in vobject.readComponents(open(sys.argv[1], encoding='utf-8').read())]))
)";

TEST(VCardExchange, ReadByAnIndependentReader) {
    QString python;
    for (const QString candidate : {"/usr/bin/python3", "python3"})
        if (python.isEmpty() && QProcess::execute(candidate, {"-c", "import vobject"}) == 0) python = candidate;
    if (python.isEmpty())
        GTEST_SKIP() << "python3 with the vobject module is not installed (Debian python3-vobject, "
                        "scripts/install-deps installs it)";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("contatti.vcf"));
    ScriviFileTesto(path, ScriviVCard(full()) + ScriviVCard(ContattoVCard{.cognome = "Rossi", .nome = "Mario"}));
    QProcess p;
    p.start(python, {QStringLiteral("-c"), QString::fromUtf8(VobjectDump), path});
    ASSERT_TRUE(p.waitForFinished(60'000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QList<QStringList> cards;
    for (const QJsonValue& card : QJsonDocument::fromJson(p.readAllStandardOutput()).array())
        cards.append(card.toVariant().toStringList());
    // clang-format off
    const QList<QStringList> expected{
        {"FN|Palestra Zoè", "FN|Nicolò D'Angelo", "N|D'Angelo|Nicolò|Maria|Dott.|Jr.",
         "TEL|049 123456|HOME|VOICE", "TEL|049 654321|HOME|VOICE", "TEL|049 222|WORK|VOICE", "TEL|049 333|WORK|VOICE",
         "TEL|049 111|HOME|FAX|VOICE", "TEL|049 444|WORK|FAX|VOICE", "TEL|333 1234567|HOME|CELL|VOICE",
         "TEL|334 7654321|HOME|CELL|VOICE", "TEL|335 1|WORK|CELL|VOICE", "TEL|336 2|WORK|CELL|VOICE",
         "EMAIL|nicolo@example.it|HOME|PREF|INTERNET", "EMAIL|n2@example.it|HOME|PREF|INTERNET",
         "EMAIL|n3@example.it|HOME|PREF|INTERNET", "EMAIL|n4@example.it|HOME|PREF|INTERNET",
         "EMAIL|w1@example.it|WORK|PREF|INTERNET", "EMAIL|w2@example.it|WORK|PREF|INTERNET",
         "EMAIL|w3@example.it|WORK|PREF|INTERNET", "EMAIL|w4@example.it|WORK|PREF|INTERNET",
         "ADR|||Via Sant'Elia N°12/b|Padova|PD|35121|HOME", "ADR|||Riviera Tito Livio N°3|Abano Terme|PD|35031|WORK",
         "UID|Vastrel42", "NOTE|Ama il nuoto 🏊\nseconda riga \\ fine", "BDAY|19850412"},
        {"FN|Mario Rossi", "N|Rossi|Mario|||"}};
    // clang-format on
    EXPECT_EQ(cards, expected);
}
