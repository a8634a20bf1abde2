// Reference for the main program's start-up time: a bare program that opens the same
// SQLite file and reads every row the start-up reads (the shared queries it opens at once;
// payments, deadlines and attendances are read at first use), with the SQLite C API into
// plain vectors through a bare cursor of the connection, plus the start-up's own statements. No Qt windows.
//
// usage: startup_bare <database>

#include "db/connection.h"
#include "db/error.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    QElapsedTimer t;
    t.start();
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_bare <database>\n");
        return 2;
    }
    // The same queries the data module opens, translated once by our translator.
    const char* queries[] = {
        "SELECT *, Cognome + \"  \" + Nome as Nominativo FROM anagraficaclienti order by NominativoVisualizzato",
        "select * from orari order by Specialita, Giorno, OrarioInizio",
        "select *,Cognome + \"  \" + Nome as Nominativo from anagraficapersonale order by Cognome,Nome",
        "select * from Comuni", "select * from Ditta", "SELECT * from opzioni",
        "select * from modPagamento",
        "select * from Esercizi order by Descrizione", "select top 1 * from ClienteEsercizi",
        "select * from Alimenti order by Descrizione", "select * from Patologie order by Descrizione",
        "select * from Pasti order by Ora", "select * from GruppiMuscolari order by Descrizione",
        "SELECT NominativoDocumenti,NominativoVisualizzato, ID FROM anagraficaclienti order by Cognome,Nome",
        "select * from GruppoSportivo order by Descrizione", "select * from Personalizzazioni",
        "select * from Stagione order by Descrizione", "select * from TipoPagamenti order by Descrizione",
        "select * from OperazionePagamenti order by Descrizione",
        "select * from TipoEsportazioniCrystalReport where Attivo=true Order by Descrizione",
        "select * from Occasionali order by Cognome,Nome",
        "select * from Avvisi Order by Descrizione", "select * from Griglie where NomeComputer = 'x'",
        "select * from TempAvvisiClienti where NomeComputer = 'x'",
        "select top 1 * from TempAvvisi where NomeComputer = 'x'",
        "select * from TempStampa where NomeComputer = 'x'",
    };
    db::Connection conn; // used only for its catalog-aware translation and collation
    conn.open(QString::fromLocal8Bit(argv[1]));
    auto exec = [&](const QString& jet) {
        try {
            conn.execute(jet);
        } catch (const db::DatabaseError& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        }
    };
    exec(QStringLiteral("UPDATE Calendario SET Storico = true where Concluso=true and DataInizio < #01/01/2026#"));
    exec(QStringLiteral("UPDATE Calendario SET Storico = false where DataInizio >= #01/01/2026#"));
    exec(QStringLiteral("delete * from TempAvvisi where NomeComputer ='x'"));
    size_t rows = 0;
    for (const char* q : queries) {
        db::Cursor cur(conn, QString::fromUtf8(q));
        const size_t n = cur.columns().size();
        auto text = std::vector<std::vector<std::string>>(n);
        auto nums = std::vector<std::vector<double>>(n);
        while (cur.next()) {
            ++rows;
            for (size_t c = 0; c < n; ++c) {
                if (cur.isNull(int(c))) continue;
                const db::FieldType type = cur.columns()[c].type;
                if (type == db::FieldType::Integer || type == db::FieldType::Double ||
                    type == db::FieldType::Bool)
                    nums[c].push_back(cur.real(int(c)));
                else
                    text[c].emplace_back(cur.text(int(c)));
            }
        }
    }
    std::printf("bare start-up read %zu rows in %lld ms\n", rows, (long long)t.elapsed());
    return 0;
}
