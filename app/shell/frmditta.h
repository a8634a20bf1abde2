#pragma once

#include "db/dataset.h"

#include <QWidget>

class QToolButton;
class Tform_DB;
namespace ui {
class DBCheckBox;
class DBEdit;
class DBLookupComboBox;
} // namespace ui

// The centre's own data, the one row of Ditta (name, address, contacts, tax data, bank and
// the on-line settings). Shown maximised and without blocking the other windows.
class TfrmDitta : public QWidget {
    Q_OBJECT
public:
    explicit TfrmDitta(Tform_DB& dm, QWidget* parent = nullptr);
    ~TfrmDitta() override;

    // Shows the window maximised and in front (the "Ditta" entry of the main window).
    void mostra();
    void FormActivate();
    void bitSalvaClick();
    // A municipality was chosen: its postcode and province, when it has them, go with it.
    void DBLookupComboBox1Click();
    // Leaving "P.Iva": a filled box must hold a valid Italian VAT number.
    void DBEdit8Exit();

    // The banks behind "Banca".
    db::Dataset Banche;

    ui::DBEdit *DBEdit1, *DBEdit2, *DBEdit3, *DBEdit4, *DBEdit5, *DBEdit6, *DBEdit7, *DBEdit8,
        *DBEdit9, *DBEdit10, *DBEdit11, *DBEdit12, *DBEdit14, *DBEdit15, *DBEdit16, *DBEdit17,
        *DBEdit18, *DBEdit19, *DBEdit21;
    ui::DBLookupComboBox* DBLookupComboBox1 = nullptr; // Comune
    ui::DBLookupComboBox* DBLookupComboBox2 = nullptr; // Id_Banca
    ui::DBCheckBox* DBCheckBox2 = nullptr;             // LavoraOnline (not stored)
    ui::DBCheckBox* DBCheckBox3 = nullptr;             // ServerAggiornamentoArticoliOnline
    QToolButton* bitSalva = nullptr;
    QToolButton* Button4 = nullptr;
    QToolButton* spdIndietro = nullptr; // closes, asking about unsaved changes

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool modifichePendenti() const;

    Tform_DB& m_dm;
};
