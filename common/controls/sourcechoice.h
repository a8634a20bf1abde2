#pragma once

#include <QStringList>

class QWidget;

namespace ui {

// The choice of the scanner or camera to acquire from (frmSceltaSorgente), shown modally
// through the dialog service: the devices by label, `current` selected. Returns the row
// chosen, -1 when the user cancels.
int chooseSource(QWidget* parent, const QStringList& devices, int current);

} // namespace ui
