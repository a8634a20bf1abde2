#pragma once

#include <QDialog>

class QLineEdit;
class QToolButton;
class Tform_DB;

// The year chooser of the yearly receipt: the current client's payments of the year typed are
// handed to the report viewer, in the client's own name or, when a payer is filled in, in the
// payer's. The print-job writer reads the year from txtAnno.
class TfrmSceltaAnno : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSceltaAnno(Tform_DB& dm, QWidget* parent = nullptr);

    // Shows the window without waiting, above `owner` (the client record, itself modal).
    void mostra(QWidget* owner);

    void spdAvantiClick(); // "Stampa"

    QLineEdit* txtAnno = nullptr;
    QToolButton* spdAvanti = nullptr;
    QToolButton* spdIndietro = nullptr;

private:
    Tform_DB& m_dm;
};
