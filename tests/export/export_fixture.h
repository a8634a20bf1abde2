#pragma once

// The export tool on a real database with known rows; files read back with outside tools.

#include "common/controls/dialogs.h"
#include "support/script.h"
#include "export/form1.h"
#include "export/form_db.h"
#include "support/env.h"
#include "support/files.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <QByteArray>
#include <QFile>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QListWidget>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>


namespace export_testing {

using Rows = QList<QStringList>;

// The rows of a semicolon-separated file as Python's csv module reads them (UTF-8 with or
// without the byte-order mark).
inline Rows readCsv(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import csv, json, sys\nwith open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                            "    print(json.dumps(list(csv.reader(f, delimiter=';'))))\n"),
             path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << "python3 could not read " << path.toStdString() << ": "
                      << p.readAllStandardError().toStdString();
        return {};
    }
    Rows rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(p.readAllStandardOutput()).array()) {
        QStringList cells;
        for (const QJsonValue& cell : row.toArray()) cells.append(cell.toString());
        rows.append(cells);
    }
    return rows;
}

// One member of a zip file, through unzip; empty when it is missing and not `required`.
inline QByteArray unzipMember(const QString& zip, const QString& member, bool required = true) {
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        if (!required) return {};
        ADD_FAILURE() << "unzip failed on " << zip.toStdString() << " " << member.toStdString();
        return {};
    }
    return p.readAllStandardOutput();
}

using testing_support::fileBytes;

// Payments of three clients: texts with quotes, semicolons, line breaks and characters
// from beyond the first 256 code points; Nulls; dates with and without a time.
inline void insertPayments(db::Connection& c) {
    testing_support::runScript(c, QStringLiteral(R"(
insert into Stagione (Descrizione) values ('2024/25');
insert into ModPagamento (Descrizione) values ('Contanti');
insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, Tessera, Stagione_ID, Certificato_med, Datanascita) values ('O''Neil', 'Seán', 'O''Neil Seán', 'T-1', 1, true, #3/15/1980#);
insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, Tessera, Datanascita) values ('Kovács', 'Ödön', 'Kovács Ödön', 'T-2', #1/1/1900#);
insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, Annullato) values ('Rossi', 'Mario', 'Rossi Mario', true);
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id, Note) values (1, #3/15/2024#, 'Quota "gold"; annuale', 12.5, 1, 'riga uno
riga due');
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, Note) values (2, #3/16/2024 18.45.00#, 'Iscrizione 50 €', 100, '東京; ő');
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo) values (3, #3/17/2024#, 'Mensile', 7.25);
)"));
}

// The export tool started on a fresh database through percorso.txt in a home folder.
class ExportTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid() && out.isValid());
        env.set("VASTREL_HOME", home.path().toUtf8());
        writePercorso(tdb.path());
        insertPayments(tdb.connection());
    }

    void writePercorso(const QString& line) {
        ASSERT_TRUE(testing_support::writeFile(home.filePath(QStringLiteral("percorso.txt")), line.toUtf8() + "\n"));
    }

    // A new data module and main window, started; the start's messages are dropped.
    void start() {
        form.reset();
        dm = std::make_unique<esportazioni::Tform_DB>();
        form = std::make_unique<esportazioni::TForm1>(*dm);
        ASSERT_TRUE(form->FormActivate());
        dialogs.shown.clear();
    }

    void choose(const QString& source) {
        const int i = form->DBLookupComboBox1->findText(source);
        ASSERT_GE(i, 0) << source.toStdString();
        form->DBLookupComboBox1->setCurrentIndex(i);
    }
    // The source's columns in the list's order; only the ticked ones when `tickedOnly`.
    QStringList columns(bool tickedOnly = false) const {
        QStringList out;
        for (int i = 0; i < form->CheckListBox1->count(); ++i)
            if (!tickedOnly || form->CheckListBox1->item(i)->checkState() == Qt::Checked)
                out.append(form->CheckListBox1->item(i)->text());
        return out;
    }
    QStringList ticked() const { return columns(true); }
    void tick(const QStringList& names) {
        for (const QString& n : names) {
            const auto found = form->CheckListBox1->findItems(n, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << n.toStdString();
            found.first()->setCheckState(Qt::Checked);
        }
    }
    // Counts rows of a table through the test's own connection.
    int count(const QString& sql) { return testing_support::count(tdb.connection(), sql); }

    testing_support::TempDatabase tdb;
    QTemporaryDir home, out;
    testing_support::ScopedEnv env;
    ui::ScriptedDialogs dialogs;
    std::unique_ptr<esportazioni::Tform_DB> dm;
    std::unique_ptr<esportazioni::TForm1> form;
};

} // namespace export_testing
