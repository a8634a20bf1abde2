#pragma once

#include "db/connection.h"
#include "db/dataset.h"

#include <QObject>

namespace esportazioni {

// The export tool's data module: its own connection to the database named by percorso.txt,
// the sources that can be exported and the saved export definitions. Never shown.
class Tform_DB : public QObject {
    Q_OBJECT
public:
    explicit Tform_DB(QObject* parent = nullptr);
    ~Tform_DB() override;

    db::Connection Connessione;
    // "select * from QueryCreazioneStampe order by Descrizione"
    db::Dataset TableQueryCreazioneStampe;
    // "select * from DatiReportTestata order by NomeReport"
    db::Dataset TableDatiReportTestata;

    // Opens the connection (never creating a database) and the sources.
    void apri(const QString& databasePath);
    void chiudi();
};

} // namespace esportazioni
