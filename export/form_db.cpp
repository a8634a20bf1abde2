#include "export/form_db.h"

namespace esportazioni {

Tform_DB::Tform_DB(QObject* parent)
    : QObject(parent), TableQueryCreazioneStampe(&Connessione), TableDatiReportTestata(&Connessione) {
    setObjectName(QStringLiteral("form_DB"));
    TableQueryCreazioneStampe.setObjectName(QStringLiteral("TableQueryCreazioneStampe"));
    TableDatiReportTestata.setObjectName(QStringLiteral("TableDatiReportTestata"));
    TableQueryCreazioneStampe.setSql(
        QStringLiteral("select * from QueryCreazioneStampe order by Descrizione"));
    TableDatiReportTestata.setSql(
        QStringLiteral("select * from DatiReportTestata order by NomeReport"));
}

Tform_DB::~Tform_DB() { chiudi(); }

void Tform_DB::apri(const QString& databasePath) {
    chiudi();
    Connessione.open(databasePath);
    TableQueryCreazioneStampe.open();
}

void Tform_DB::chiudi() {
    TableQueryCreazioneStampe.close();
    TableDatiReportTestata.close();
    Connessione.close();
}

} // namespace esportazioni
