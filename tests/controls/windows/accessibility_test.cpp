// Every window of the three programs as a user meets it: each control the Tab key reaches has
// a name (what a screen reader says), each button of a toolbar an icon, and no grid column
// at its default layout is narrower than its title.

#include "app/archives/install.h"
#include "app/clients/install.h"
#include "app/payments/install.h"
#include "app/printing/install.h"
#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "app/shell/frmpass.h"
#include "app/shell/settings.h"
#include "app/timetable/install.h"
#include "common/controls/dbgrid.h"
#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "export/form1.h"
#include "export/form_db.h"
#include "support/datamodule.h"
#include "support/files.h"
#include "viewer/form1.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QStackedWidget>
#include <QHeaderView>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Tab reaches it: it takes the focus, is not hidden (a page of a stack counts, it is reached
// once chosen), and is not the inner edit of a combo or spin box (the box is what is named).
bool reached(QWidget* w) {
    if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy()) return false;
    if (auto* owner = w->parentWidget();
        owner && qobject_cast<QLineEdit*>(w) && (qobject_cast<QComboBox*>(owner) || qobject_cast<QAbstractSpinBox*>(owner)))
        return false;
    for (QWidget* p = w; !p->isWindow(); p = p->parentWidget())
        if (p->isHidden() && !qobject_cast<QStackedWidget*>(p->parentWidget())) return false;
    return true;
}

// What a screen reader says for it; a tab bar speaks for its tabs.
QString spokenName(QWidget* w) {
    if (auto* bar = qobject_cast<QTabBar*>(w)) {
        for (int i = 0; i < bar->count(); ++i) {
            const QString tab = bar->accessibleTabName(i).isEmpty() ? bar->tabText(i) : bar->accessibleTabName(i);
            if (tab.trimmed().isEmpty() || tab != tab.trimmed()) return {}; // blanks are read out
        }
        return QStringLiteral("tabs");
    }
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name).trimmed() : QString();
}

QString where(QWidget* window, QWidget* w) {
    return window->objectName() + u'/' + w->objectName() + u" (" + QString::fromLatin1(w->metaObject()->className()) + u')';
}

// What a user of `window` meets that is wrong: a window opened narrower than its controls, a
// reached control without a name, a button of ours without an icon, a grid column narrower
// than its title.
QStringList faults(QWidget* window) {
    QStringList out;
    if (window->width() < window->minimumSizeHint().width()) out << window->objectName() + u" narrower than its controls need";
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window) continue;
        if (reached(w) && spokenName(w).isEmpty()) out << where(window, w) + u" unnamed";
        if (auto* b = qobject_cast<QToolButton*>(w); b && b->isVisibleTo(window) && b->icon().isNull() &&
                                                     !b->objectName().isEmpty() && !b->objectName().startsWith(u"qt_") &&
                                                     !qobject_cast<QTabBar*>(b->parentWidget())) // Qt's own scroll arrows
            out << where(window, w) + u" without icon";
        if (auto* grid = qobject_cast<ui::DBGrid*>(w); grid && grid->isVisible())
            for (int c = 0; c < grid->columnCount(); ++c)
                if (grid->gridColumnWidth(c) < grid->horizontalHeader()->sectionSizeHint(grid->horizontalHeader()->logicalIndex(c)))
                    out << where(window, w) + u" cuts \"" + grid->gridColumn(c).title + u'"';
    }
    return out;
}

// The windows a top-level window owns, itself first.
QList<QWidget*> windowsOf(QWidget* top) {
    QList<QWidget*> out{top};
    for (QWidget* w : top->findChildren<QWidget*>())
        if (w->isWindow() && !(w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip)) out << w;
    return out;
}

TEST(Accessibility, EveryWindowNamesItsControlsShowsIconsAndWholeTitles) {
    ui::FormConventions::nameEveryWindow(); // as the programs' start does
    ui::ScriptedDialogs dialogs;
    testing_support::DataModule data;
    QTemporaryDir home;
    qputenv("VASTREL_HOME", home.path().toUtf8());
    testing_support::writeFile(QDir(home.path()).filePath("percorso.txt"), data.tdb.path().toUtf8() + "\n");

    // The main program's windows, as installed at start-up.
    TForm1 main(data.dm, home.path());
    for (auto install : {installSettings, installArchives, installPayments, installTimetable, installClients, installPrinting})
        install(main, data.dm);
    TfrmPass password;
    // The export tool and the report viewer.
    esportazioni::Tform_DB exportDm;
    esportazioni::TForm1 exportTool(exportDm);
    ASSERT_TRUE(exportTool.FormActivate()); // opens the database of percorso.txt
    stampa::TForm1 viewer;

    QList<QWidget*> windows;
    for (QWidget* top : QList<QWidget*>{&main, &password, &exportTool, &viewer}) windows += windowsOf(top);
    QStringList names, missing;
    for (QWidget* w : windows) {
        names << w->objectName();
        w->show();
        QApplication::processEvents();
        missing += faults(w);
        // SHOTS=folder keeps a picture of each window, to look at by eye.
        if (qEnvironmentVariableIsSet("SHOTS")) w->grab().save(qEnvironmentVariable("SHOTS") + "/" + w->objectName() + ".png");
        w->hide();
    }
    // The table really holds the registers and the shell's windows.
    for (const char* expected : {"Form1", "frmPass", "frmOpzioni", "frmDitta", "frmUtilita", "frmAlimenti",
                                 "frmComuniDettaglio", "frmOrari", "frmOrariDett", "frmPagamenti", "frmPagamentiDettaglio",
                                 "frmSceltaAnno", "frmCerca", "frmFiltri", "frmFiltro", "frmClientiDett"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(expected))) << expected << " in " << names.join(", ").toStdString();
    EXPECT_TRUE(missing.isEmpty()) << missing.join("\n").toStdString();
    qunsetenv("VASTREL_HOME");
}

} // namespace
