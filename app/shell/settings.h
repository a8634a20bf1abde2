#pragma once

#include <QString>

class QWidget;
class TForm1;
class Tform_DB;
namespace db {
class Dataset;
}

// Creates the options, company-data and utilities windows once and wires them to the main
// window: "Opzioni" and "Utilità" show theirs modally, the hidden "Ditta" entry (Ctrl+D)
// shows the company data without blocking the rest of the program.
void installSettings(TForm1& form1, Tform_DB& dm);

// A table that holds one row (opzioni, Ditta) without it: the row is created empty and saved,
// and `message` tells the user. Returns true when the row had to be created. A closed query
// is left alone.
bool garantisciRigaUnica(db::Dataset& query, const QString& keyField, QWidget* parent,
                         const QString& message);
