// Qt's own dialogs and menus speak Italian once the programs' start-up has loaded the
// translations: read on the real widgets, not on the translation files.

#include "common/controls/application.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

QString plain(QString s) { return s.remove(u'&').section(u'\t', 0, 0); }

TEST(QtTranslations, StandardButtonsDialogsAndMenusAreItalian) {
    ASSERT_TRUE(ui::loadQtTranslations());
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QLineEdit edit(QStringLiteral("testo"));
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList menuTexts;
    for (QAction* a : menu->actions()) menuTexts << plain(a->text());

    const struct {
        QString shown, expected;
    } cases[] = {
        {plain(box.button(QMessageBox::Yes)->text()), QStringLiteral("Sì")},
        {plain(box.button(QMessageBox::No)->text()), QStringLiteral("No")},
        {plain(box.button(QMessageBox::Cancel)->text()), QStringLiteral("Annulla")},
        {dialog.labelText(QFileDialog::LookIn), QStringLiteral("Cerca in:")},
        {dialog.labelText(QFileDialog::Reject), QStringLiteral("Annulla")},
        {menuTexts.value(0), QStringLiteral("Annulla")},
        {menuTexts.value(3), QStringLiteral("Taglia")},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, c.expected);
}

} // namespace
