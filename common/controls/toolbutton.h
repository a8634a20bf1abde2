#pragma once

#include <QString>

class QToolButton;
class QWidget;

namespace ui {

// A toolbar button of the forms: text under its glyph, flat, and never taking the focus, so
// Enter and the arrow keys move between the form's fields and not onto the toolbar. `icon`
// is a theme icon name (icons.h).
QToolButton* toolButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& icon, const QString& hint = QString());

} // namespace ui
