#pragma once

// Helpers shared by the controls suite: real databases, real datasets, shown forms.

#include "db/connection.h"
#include "db/dataset.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <memory>

namespace controls_test {

inline void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Shows a window and makes it the active one, so focus changes happen as for a user.
inline bool showActive(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    window->activateWindow();
    const bool ok = QTest::qWaitForWindowActive(window, 2000);
    settle();
    return ok;
}

inline std::unique_ptr<db::Dataset> openDataset(db::Connection& conn, const QString& sql) {
    auto ds = std::make_unique<db::Dataset>(&conn);
    ds->setSql(sql);
    ds->open();
    return ds;
}

// One value read through the connection (as another part of the program would).
using testing_support::scalar;

inline void addFoods(db::Connection& conn) {
    conn.execute("delete * from Alimenti");
    for (const char* row : {"'Pane', 250, 100, 30", "'Arance', 34, 80.5, 87", "'Burro', 717, 100, 15.5", "'Zucchine', 1234.5, 90, 93"})
        conn.execute(QStringLiteral("insert into Alimenti (Descrizione, KC, [E%], ACQ) values (%1)").arg(row));
}

} // namespace controls_test
