#pragma once

#include "app/archives/detailform.h"
#include "app/archives/listform.h"

// The municipalities register, searched by six boxes.
class TfrmGrigliaComuni : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmGrigliaComuni(Tform_DB& dm, QWidget* parent = nullptr);
};

// One municipality: province and name are required, in this order.
class TfrmComuniDettaglio : public ArchiveDetailForm {
    Q_OBJECT
public:
    explicit TfrmComuniDettaglio(Tform_DB& dm, QWidget* parent = nullptr);
};

// The street finder of a town (shared query TableIndirizzi): a double click on a row picks
// it, "Indietro" or Escape leave without a choice.
class TfrmTrovaCap : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmTrovaCap(Tform_DB& dm, QWidget* parent = nullptr);

    // True when the window was last left without choosing a street.
    bool Annullato = true;
};

// The postcode of a client's town, as the client record asks for it: without a town a
// message and nothing else; a town with one street row gets its postcode at once; otherwise
// the finder opens on the town's streets and a chosen row gives the postcode. Returns true
// when `cap` was written (the caller marks its record modified).
bool cercaCap(Tform_DB& dm, TfrmTrovaCap& finder, QWidget* parent, const QString& comune, QString& cap);
// The same with the program's finder window (installed with the registers).
bool cercaCap(Tform_DB& dm, QWidget* parent, const QString& comune, QString& cap);
