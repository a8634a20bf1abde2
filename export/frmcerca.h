#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace esportazioni {

class Tform_DB;

// "Cerca": the saved export definitions by name. "Prosegui" or a double click takes the
// definition under the cursor; "Cancella" deletes it after a question.
class TfrmCerca : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCerca(Tform_DB& dm, QWidget* parent = nullptr);

    // Re-reads the definitions and shows them, the dataset's current row selected.
    void Aggiorna();

    QTableWidget* DBGrid1; // one column: NomeReport, "Nome Esportazione"
    QPushButton* btnProsegui;
    QPushButton* btnCancella;
    QPushButton* btnEsci;

public Q_SLOTS:
    void btnProseguiClick();
    void btnCancellaClick();
    void DBGrid1DblClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void seguiCursore();
    Tform_DB& m_dm;
};

} // namespace esportazioni
