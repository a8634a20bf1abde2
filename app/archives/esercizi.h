#pragma once

#include "app/archives/detailform.h"

#include <QImage>
#include <functional>

class QPushButton;
class TfrmGruppiMuscolariDett;

namespace ui {
class DBImage;
class DBLookupComboBox;
}

// The exercise record: description, instructions, muscle group and a picture fitted to the
// picture box (stored as PNG in Esercizi.Immagine).
class TfrmEserciziDett : public ArchiveDetailForm {
    Q_OBJECT
public:
    TfrmEserciziDett(Tform_DB& dm, TfrmGruppiMuscolariDett* gruppi, QWidget* parent = nullptr);

    ui::DBImage* DBImage1 = nullptr;
    ui::DBLookupComboBox* DBLookupComboBox1 = nullptr;
    QPushButton* Button1 = nullptr; // "ridimensiona" (hidden)
    QPushButton* Button4 = nullptr; // "....."
    QPushButton* Button6 = nullptr; // "Carica da File"
    QPushButton* Button7 = nullptr; // "Acquisisci"
    QPushButton* Button8 = nullptr; // "Salva come immagine"
    QPushButton* Button9 = nullptr; // "Cancella"

    // The source of "Acquisisci": the scanner module when it is built in.
    std::function<QImage(QWidget*)> acquisizione;

    void Button1Click(); // every exercise's picture stretched to the box
    void Button4Click(); // edit the exercise's muscle group
    void Button6Click(); // load from a file
    void Button7Click(); // acquire
    void Button8Click(); // save as a picture file
    void Button9Click(); // clear

private:
    void memorizza(const QImage& picture);

    TfrmGruppiMuscolariDett* m_gruppi;
};
