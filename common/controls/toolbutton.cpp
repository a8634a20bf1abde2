#include "common/controls/toolbutton.h"

#include "common/controls/icons.h"

#include <QToolButton>

namespace ui {

QToolButton* toolButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& icon, const QString& hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    if (!hint.isEmpty()) b->setToolTip(hint);
    b->setIcon(themeIcon(icon));
    b->setIconSize(QSize(22, 22));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumWidth(64);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace ui
