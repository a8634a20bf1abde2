#pragma once

#include "common/filterclause.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QListWidgetItem;

namespace db {
class Connection;
}

namespace stampa {

// The viewer's program-wide values, shared by the main window and the filter window.
struct Globali {
    db::Connection* connessione = nullptr;
    QString query;  // the job's query (the report's record source)
    QString filtro; // clause appended to "Select * from (" + query + ")"
    bool confermato = false;
};

// "Selezione filtri": lets the user narrow the report's rows by the values that occur in
// its columns before the report opens. Only "Conferma" lets the report open.
class TfrmFiltro : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFiltro(Globali& globali, QWidget* parent = nullptr);

    QListWidget* lstCampiFiltro;
    QLabel* Label1;
    QComboBox* cmbDA;
    QLabel* Label2;
    QComboBox* cmbA;
    QLineEdit* txtFiltro;
    QCheckBox* chkAnd;
    QPushButton* Command2; // "Aggiungi"
    QPushButton* Command1; // "Azzera"
    QPushButton* Command3; // "Conferma"

public Q_SLOTS:
    void FormActivate();
    void lstCampiFiltroClick(QListWidgetItem* item);
    void cmbDAClick(int index);
    void Command2Click();
    void Command1Click();
    void Command3Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    Globali& m_g;
    common::FilterClause m_clausola;
    std::optional<db::FieldType> m_tipo; // values read for the chosen column
    QStringList m_valori;
};

} // namespace stampa
