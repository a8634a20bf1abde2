#pragma once

#include <QString>
#include <QStyle>

class QToolButton;
class QWidget;

namespace ui {

// A toolbar button of the forms: text under its glyph, flat, and never taking the focus, so
// Enter and the arrow keys move between the form's fields and not onto the toolbar.
QToolButton* toolButton(QWidget* parent, const QString& name, const QString& caption,
                        QStyle::StandardPixmap icon, const QString& hint = QString());

} // namespace ui
