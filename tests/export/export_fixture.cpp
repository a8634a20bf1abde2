#include "export_fixture.h"

#include "db/rowstore.h"

#include <QListWidget>

namespace export_testing {

QStringList ExportTool::columns() const {
    QStringList out;
    for (int i = 0; i < form->CheckListBox1->count(); ++i)
        out.append(form->CheckListBox1->item(i)->text());
    return out;
}

void ExportTool::tick(const QStringList& names) {
    for (const QString& n : names) {
        const auto items = form->CheckListBox1->findItems(n, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << n.toStdString();
        items.first()->setCheckState(Qt::Checked);
    }
}

QStringList ExportTool::ticked() const {
    QStringList out;
    for (int i = 0; i < form->CheckListBox1->count(); ++i)
        if (form->CheckListBox1->item(i)->checkState() == Qt::Checked)
            out.append(form->CheckListBox1->item(i)->text());
    return out;
}


} // namespace export_testing
