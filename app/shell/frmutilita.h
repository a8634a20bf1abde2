#pragma once

#include <QDialog>

class QToolButton;
class Tform_DB;
namespace ui {
class DBLookupComboBox;
}

// Utilities: cancels or re-enables every client of a season at once.
class TfrmUtilita : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUtilita(Tform_DB& dm, QWidget* parent = nullptr);

    void SpeedButton10Click(); // "Annulla"
    void SpeedButton1Click();  // "Riabilita"
    void spdHelpClick();

    ui::DBLookupComboBox* DBLookupComboBox1 = nullptr; // the season (not bound)
    QToolButton* SpeedButton10 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* spdHelp = nullptr;
    QToolButton* spdIndietro = nullptr;

private:
    // Sets Annullato of every client of the chosen season, all in one transaction; returns
    // the number of clients, -1 when no season is chosen (message shown).
    int impostaAnnullato(bool annullato);

    Tform_DB& m_dm;
};
