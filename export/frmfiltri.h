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

namespace esportazioni {

class Tform_DB;

// "Filtri": builds the filter clause of one export from the values that occur in the
// source's columns. Shown modally by "Esporta"; whatever way it closes, the export goes
// on with the clause built so far ("Conferma" drops a clause too short to mean anything).
class TfrmFiltri : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFiltri(Tform_DB& dm, QWidget* parent = nullptr);

    // A fresh window for one export: the columns of the main window's list and the source.
    void Pulisci(const QStringList& colonne, const QString& querySorgente);

    // The clause to append to "Select * from (source)".
    QString clausola() const { return m_clausola; }
    bool confermato() const { return m_confermato; }

    QListWidget* lstCampi;
    QLabel* Label1;
    QComboBox* cmbDA;
    QLabel* Label2;
    QComboBox* cmbA;
    QLineEdit* txtFiltro;
    QCheckBox* chkAnd;
    QPushButton* Command1; // "Azzera"
    QPushButton* Command2; // "Aggiungi"
    QPushButton* Command3; // "Conferma"

public Q_SLOTS:
    void lstCampiClick();
    void cmbDAChange();
    void Command1Click();
    void Command2Click();
    void Command3Click();

private:
    void riempi(QComboBox* box, const QStringList& voci);
    Tform_DB& m_dm;
    QString m_query;
    common::FilterClause m_filtro;
    std::optional<db::FieldType> m_tipo; // of the values read for the chosen column
    QStringList m_valori;
    QString m_clausola;
    bool m_confermato = false;
};

} // namespace esportazioni
