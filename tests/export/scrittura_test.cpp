#include "export/scrittura.h"
#include "export_fixture.h"

#include "db/error.h"
#include "db/rowstore.h"

#include <QDir>
#include <QMap>
#include <QXmlStreamReader>

using namespace esportazioni;
using export_testing::ExportTool;
using export_testing::Rows;

namespace {

class Writing : public ExportTool {
protected:
    QString source(const QString& descrizione) {
        db::RowStore rows;
        tdb.connection().load(QStringLiteral("select Query from QueryCreazioneStampe where "
                                             "Descrizione = '") + descrizione + u'\'',
                              rows);
        return rows.value(0, 0).toString();
    }
    QString select(const QString& query) { return QStringLiteral("Select * from (") + query + u')'; }
    QStringList folder() const { return QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

    const QStringList pagamenti{"Data", "Cliente", "Tessera", "Operazione", "Importo",
                                "ModalitaPagamento", "Note", "Stagione", "GruppoSportivo"};
};

// The cells of the first sheet of a workbook: reference → shown text, and the number
// format of each cell.
struct Sheet {
    QMap<QString, QString> value;
    QMap<QString, QString> format;
    QMap<QString, QString> type;
};

Sheet readSheet(const QString& path) {
    QStringList shared;
    {
        QXmlStreamReader x(export_testing::unzipMember(path, QStringLiteral("xl/sharedStrings.xml"), false));
        while (!x.atEnd())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"t")
                shared.append(x.readElementText());
    }
    QMap<QString, QString> codes{{QStringLiteral("0"), QStringLiteral("General")}};
    QStringList xfFormats;
    {
        QXmlStreamReader x(export_testing::unzipMember(path, QStringLiteral("xl/styles.xml")));
        bool inCellXfs = false;
        while (!x.atEnd()) {
            const auto t = x.readNext();
            if (t == QXmlStreamReader::StartElement && x.name() == u"numFmt")
                codes[x.attributes().value(QLatin1String("numFmtId")).toString()] =
                    x.attributes().value(QLatin1String("formatCode")).toString();
            else if (t == QXmlStreamReader::StartElement && x.name() == u"cellXfs")
                inCellXfs = true;
            else if (t == QXmlStreamReader::EndElement && x.name() == u"cellXfs")
                inCellXfs = false;
            else if (t == QXmlStreamReader::StartElement && inCellXfs && x.name() == u"xf")
                xfFormats.append(codes.value(x.attributes().value(QLatin1String("numFmtId")).toString()));
        }
    }
    Sheet s;
    QXmlStreamReader x(export_testing::unzipMember(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref, type;
    while (!x.atEnd()) {
        const auto t = x.readNext();
        if (t != QXmlStreamReader::StartElement) continue;
        if (x.name() == u"c") {
            ref = x.attributes().value(QLatin1String("r")).toString();
            type = x.attributes().value(QLatin1String("t")).toString();
            s.type[ref] = type;
            s.format[ref] = xfFormats.value(x.attributes().value(QLatin1String("s")).toInt());
        } else if (x.name() == u"v") {
            const QString v = x.readElementText();
            s.value[ref] = type == u"s" ? shared.value(v.toInt()) : v;
        } else if (x.name() == u"t") { // inline string
            s.value[ref] += x.readElementText();
        }
    }
    return s;
}

} // namespace

TEST(OutputName, OnlyTheExtensionOfTheFileNameIsReplaced) {
    const struct {
        const char* chosen;
        Formato format;
        const char* expected;
    } cases[] = {
        {"/home/anna/Dati.2024/clienti", Formato::Csv, "/home/anna/Dati.2024/clienti.csv"},
        {"/home/anna/Dati.2024/clienti.txt", Formato::Csv, "/home/anna/Dati.2024/clienti.csv"},
        {"/tmp/Esportazione.csv", Formato::Csv, "/tmp/Esportazione.csv"},
        {"/tmp/a.b.csv", Formato::Xlsx, "/tmp/a.b.xlsx"},
        {"/tmp/x.XLSX", Formato::Xlsx, "/tmp/x.xlsx"},
        {"clienti", Formato::Csv, "clienti.csv"},
        {"/tmp/.nascosto", Formato::Csv, "/tmp/.nascosto.csv"},
        {"C:\\Dati.2024\\clienti", Formato::Csv, "C:\\Dati.2024\\clienti.csv"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nomeFileUscita(QString::fromLatin1(c.chosen), c.format),
                  QString::fromLatin1(c.expected))
            << c.chosen;
}

TEST(DateText, PlainDateTimeAloneOrBoth) {
    EXPECT_EQ(testoData(db::civilFromParts(2024, 3, 5)), QStringLiteral("05/03/2024"));
    EXPECT_EQ(testoData(db::civilFromParts(2024, 3, 5, 18, 45, 7)),
              QStringLiteral("05/03/2024 18:45:07"));
    EXPECT_EQ(testoData(db::civilFromParts(1899, 12, 30, 9, 5)), QStringLiteral("09:05"));
    EXPECT_EQ(testoData(db::civilFromParts(1999, 12, 31, 0, 0, 1)),
              QStringLiteral("31/12/1999 00:00:01"));
}

TEST_F(Writing, CsvReadsBackWithEveryCharacterAndSeparatorIntact) {
    Esportazione e(tdb.connection(), select(source(QStringLiteral("Pagamenti"))), pagamenti);
    ASSERT_FALSE(e.vuota());
    const QString file = out.filePath(QStringLiteral("pagamenti.csv"));
    EXPECT_EQ(e.scrivi(file, Formato::Csv), 3);

    const QByteArray raw = export_testing::fileBytes(file);
    EXPECT_TRUE(raw.startsWith("\xEF\xBB\xBF"));
    EXPECT_FALSE(raw.contains('\r'));
    EXPECT_TRUE(raw.contains("\"Quota \"\"gold\"\"; annuale\";"));

    // Every line ends with ";", so a reader sees one empty field at the end.
    const Rows expected{
        {"Data", "Cliente", "Tessera", "Operazione", "Importo", "ModalitaPagamento", "Note",
         "Stagione", "GruppoSportivo", ""},
        {"15/03/2024", "O'Neil Seán", "T-1", "Quota \"gold\"; annuale", "12,5", "Contanti",
         "riga uno\nriga due", "2024/25", "", ""},
        {"16/03/2024 18:45:00", "Kovács Ödön", "T-2", "Iscrizione 50 €", "100", "", "東京; ő", "",
         "", ""},
        {"17/03/2024", "Rossi Mario", "", "Mensile", "7,25", "", "", "", "", ""},
    };
    EXPECT_EQ(export_testing::readCsv(file), expected);
}

TEST_F(Writing, OnlyTickedColumnsInResultOrder) {
    Esportazione e(tdb.connection(), select(source(QStringLiteral("Pagamenti"))),
                   {"Importo", "Data"});
    EXPECT_EQ(e.intestazione(), QStringList({"Data", "Importo"}));
    const QString file = out.filePath(QStringLiteral("due.csv"));
    e.scrivi(file, Formato::Csv);
    EXPECT_EQ(export_testing::fileBytes(file),
              QByteArray("\xEF\xBB\xBF" "Data;Importo;\n15/03/2024;12,5;\n"
                         "16/03/2024 18:45:00;100;\n17/03/2024;7,25;\n"));
}

TEST_F(Writing, YesNoWordsAndTypesWithoutText) {
    tdb.connection().execute(QStringLiteral("insert into Esercizi (Descrizione) values ('Panca')"));
    const QString file = out.filePath(QStringLiteral("sino.csv"));
    Esportazione sino(tdb.connection(),
                      QStringLiteral("select Cognome, Certificato_med, Datanascita from "
                                     "anagraficaclienti order by ID"),
                      {"Cognome", "Certificato_med", "Datanascita"});
    sino.scrivi(file, Formato::Csv);
    EXPECT_EQ(export_testing::readCsv(file),
              Rows({{"Cognome", "Certificato_med", "Datanascita", ""},
                    {"O'Neil", "si", "15/03/1980", ""},
                    {"Kovács", "no", "01/01/1900", ""},
                    {"Rossi", "no", "", ""}}));

    // A picture and an auto-number have no text: left out of rows and header alike, so
    // with nothing else ticked every line is empty.
    Esportazione foto(tdb.connection(), QStringLiteral("select ID, Descrizione, Immagine from Esercizi"),
                      {"ID", "Immagine"});
    EXPECT_TRUE(foto.intestazione().isEmpty());
    foto.scrivi(file, Formato::Csv);
    EXPECT_EQ(export_testing::fileBytes(file), QByteArray("\xEF\xBB\xBF\n\n"));
    Esportazione descr(tdb.connection(), QStringLiteral("select ID, Descrizione, Immagine from Esercizi"),
                       {"ID", "Descrizione", "Immagine"});
    descr.scrivi(file, Formato::Csv);
    EXPECT_EQ(export_testing::fileBytes(file), QByteArray("\xEF\xBB\xBF" "Descrizione;\n\"Panca\";\n"));
}

TEST_F(Writing, XlsxHasRealDatesNumbersAndYesNoWords) {
    if (!xlsxDisponibile()) GTEST_SKIP() << "built without xlsxwriter";
    tdb.connection().execute(
        QStringLiteral("update Pagamenti set Note = 'a & b <c>' where Importo = 7.25"));
    const QString file = out.filePath(QStringLiteral("pagamenti.xlsx"));
    // Wrapped as "Esporta" wraps every source.
    Esportazione e(tdb.connection(),
                   select("select P.Data, C.Cognome, C.Certificato_med, P.Importo, P.Note "
                          "from Pagamenti P inner join anagraficaclienti C on "
                          "P.Cliente_ID = C.ID order by P.Data"),
                   {"Data", "Cognome", "Certificato_med", "Importo", "Note"});
    EXPECT_EQ(e.scrivi(file, Formato::Xlsx), 3);
    EXPECT_EQ(folder(), QStringList({"pagamenti.xlsx"})); // no temporary file left

    const Sheet s = readSheet(file);
    EXPECT_EQ(s.value["A1"], "Data");
    EXPECT_EQ(s.value["E1"], "Note");
    // 15 March 2024 is day 45366 of the spreadsheet calendar.
    EXPECT_EQ(s.value["A2"], "45366");
    EXPECT_EQ(s.format["A2"], "dd/mm/yyyy");
    EXPECT_DOUBLE_EQ(s.value["A3"].toDouble(), 45367.78125);
    EXPECT_EQ(s.format["A3"], "dd/mm/yyyy hh:mm:ss");
    EXPECT_EQ(s.value["B2"], "O'Neil");
    EXPECT_EQ(s.value["B3"], "Kovács");
    EXPECT_EQ(s.value["C2"], "si");
    EXPECT_EQ(s.value["C3"], "no");
    EXPECT_EQ(s.value["D2"], "12.5");
    EXPECT_NE(s.type["D2"], "s");
    EXPECT_NE(s.type["D2"], "inlineStr");
    EXPECT_EQ(s.value["D4"], "7.25");
    EXPECT_EQ(s.format["D2"], "#,##0.00"); // amounts with two decimals
    EXPECT_EQ(s.format["D4"], "#,##0.00");
    EXPECT_EQ(s.format["B2"], "General");
    EXPECT_EQ(s.value["E2"], "riga uno\nriga due");
    EXPECT_EQ(s.value["E3"], "東京; ő");
    EXPECT_EQ(s.value["E4"], "a & b <c>");
}

TEST_F(Writing, FailedWriteLeavesNoFileAndNamesIt) {
    QFile regular(out.filePath(QStringLiteral("documento")));
    ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
    regular.close();
    Esportazione e(tdb.connection(), select(source(QStringLiteral("Pagamenti"))), pagamenti);
    const QString targets[] = {out.filePath(QStringLiteral("documento/out")),
                               out.filePath(QStringLiteral("manca/out"))};
    for (const QString& t : targets) {
        for (Formato f : {Formato::Csv, Formato::Xlsx}) {
            if (f == Formato::Xlsx && !xlsxDisponibile()) continue;
            const QString file = nomeFileUscita(t, f);
            try {
                e.scrivi(file, f);
                ADD_FAILURE() << "written to " << file.toStdString();
            } catch (const ErroreFile& err) {
                EXPECT_TRUE(err.testo().contains(file)) << err.testo().toStdString();
            }
            EXPECT_FALSE(QFileInfo::exists(file));
        }
    }
    EXPECT_EQ(folder(), QStringList({"documento"}));
}

TEST_F(Writing, FullDiskKeepsThePreviousFileWhole) {
    // A 64 KiB filesystem that the export cannot fit in.
    const QString mnt = out.filePath(QStringLiteral("piccolo"));
    QDir().mkpath(mnt);
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mnt}) != 0)
        GTEST_SKIP() << "cannot mount a small filesystem here";
    struct Unmount {
        QString path;
        // Lazy, so a file still open somewhere cannot leave the mount behind.
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), path}); }
    } unmount{mnt};

    auto& c = tdb.connection();
    db::Transaction tx(c);
    // Letters drawn at random, so the compressed workbook does not fit either.
    quint32 seed = 12345;
    for (int i = 0; i < 600; ++i) {
        QString text;
        for (int k = 0; k < 300; ++k) {
            seed = seed * 1664525u + 1013904223u;
            text += QChar(u'a' + int(seed >> 24) % 26);
        }
        c.execute(QStringLiteral("insert into Pagamenti (Cliente_ID, Data, Operazione, Importo) "
                                 "values (1, #1/2/2024#, '%1', %2)").arg(text).arg(i));
    }
    tx.commit();

    const QString file = mnt + QStringLiteral("/pagamenti.csv");
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("vecchio\n");
    old.close();

    Esportazione e(c, select(source(QStringLiteral("Pagamenti"))), pagamenti);
    for (Formato f : {Formato::Csv, Formato::Xlsx}) {
        if (f == Formato::Xlsx && !xlsxDisponibile()) continue;
        const QString target = nomeFileUscita(file, f);
        try {
            e.scrivi(target, f);
            ADD_FAILURE() << "a full disk reported success";
        } catch (const ErroreFile& err) {
            EXPECT_TRUE(err.testo().contains(target)) << err.testo().toStdString();
        }
    }
    EXPECT_EQ(export_testing::fileBytes(file), QByteArray("vecchio\n"));
    EXPECT_EQ(QDir(mnt).entryList(QDir::Files | QDir::Hidden), QStringList({"pagamenti.csv"}));
}

TEST_F(Writing, StatementThatDoesNotRunIsAnError) {
    EXPECT_THROW(Esportazione(tdb.connection(), select(QStringLiteral("SELECT Manca FROM Pagamenti")),
                              {"Manca"}),
                 db::DatabaseError);
    EXPECT_THROW(Esportazione(tdb.connection(), select(QStringLiteral("SELEC * FROM")), {"x"}),
                 db::DatabaseError);
    Esportazione vuota(tdb.connection(),
                       select(source(QStringLiteral("Pagamenti"))) +
                           QStringLiteral(" Where [Importo] >=1000"),
                       pagamenti);
    EXPECT_TRUE(vuota.vuota());
}
