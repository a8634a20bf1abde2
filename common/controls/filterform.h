#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {

// The controls of the two filter windows (the report viewer's and the export tool's), with
// the names both use, built and laid out once: the column list, the lower and upper value
// boxes, the AND/OR switch, the description and the three buttons.
struct FilterFormControls {
    QListWidget* list = nullptr;
    QLabel* Label1 = nullptr; // "DA"
    QComboBox* cmbDA = nullptr;
    QLabel* Label2 = nullptr; // "A"
    QComboBox* cmbA = nullptr;
    QCheckBox* chkAnd = nullptr;
    QLineEdit* txtFiltro = nullptr;
    QPushButton* Command1 = nullptr; // "Azzera"
    QPushButton* Command2 = nullptr; // "Aggiungi"
    QPushButton* Command3 = nullptr; // "Conferma"
};

// Builds the controls inside `dialog`; the column list gets `listName` as its object name.
FilterFormControls buildFilterForm(QDialog* dialog, const QString& listName);

} // namespace ui
