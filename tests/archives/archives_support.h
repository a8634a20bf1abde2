#pragma once

// A fresh database, the data module opened on it as the start-up leaves it, and every
// register window created on it; modal windows are driven through the scripted dialogs.

#include "app/archives/comuni.h"
#include "app/archives/esercizi.h"
#include "app/archives/install.h"
#include "app/archives/members.h"
#include "common/controls/dialogs.h"
#include "db/dataset.h"
#include "support/datamodule.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>


namespace archives_test {

class Archives : public ::testing::Test {
protected:
    ui::ScriptedDialogs dialogs;
    testing_support::DataModule data;
    testing_support::TempDatabase& tdb = data.tdb;
    Tform_DB& dm = data.dm;
    std::unique_ptr<QWidget> host;
    Archivi a;

    void SetUp() override {
        host = std::make_unique<QWidget>();
        a = creaArchivi(dm, host.get());
    }
    void TearDown() override { host.reset(); }

    // What to do when the window named `name` is shown modally.
    void when(const QString& name, std::function<void(QDialog*)> action) { dialogs.when(name, std::move(action)); }
    int execs(const QString& name) const { return dialogs.execs(name); }
    int questions() const { return dialogs.count(QStringLiteral("question")); }
    // Runs a statement on a second connection, as another workstation would.
    void other(const QString& sql) { tdb.connection().execute(sql); }
    QVariant scalar(const QString& sql) { return testing_support::scalar(tdb.connection(), sql); }
};

template <class T = QWidget>
T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

inline void click(QWidget* w, const char* name) {
    if (auto* b = child<QAbstractButton>(w, name)) b->click();
}

// Types into a control as a person would: the form sees the keys.
inline void type(QWidget* w, const char* name, const QString& text, bool clearFirst = true) {
    auto* edit = child<QLineEdit>(w, name);
    if (!edit) return;
    if (clearFirst) {
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
    }
    if (!text.isEmpty()) QTest::keyClicks(edit, text);
}

using testing_support::displayed;

} // namespace archives_test
