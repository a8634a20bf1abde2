#pragma once

#include "app/archives/listpanel.h"

// The payments tab of the client record: the current client's payments (TablePagamenti as the
// record narrows it), added and opened through the payments register and record, deleted
// after a question; the client's payments list and yearly receipt printed.
class TabPagamenti : public ListPanel {
    Q_OBJECT
public:
    TabPagamenti(Tform_DB& dm, QWidget* parent);

    void SpeedButton10Click(); // "Quietanza anno"
    void SpeedButton30Click(); // "Pagamenti": report 4

protected:
    void inserisci() override; // the register's insertion for this client
    void avanti() override;    // "Modifica": the payment record on the current payment
};

// Made on the tab's page of the client record.
TabPagamenti* tabPagamenti(Tform_DB& dm, QWidget* page);
