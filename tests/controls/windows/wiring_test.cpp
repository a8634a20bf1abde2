// The main window refuses to wire a button it does not have, naming it; the program's start
// (the single-instance test runs it) shows that message and stops.

#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"

#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TEST(Wiring, AButtonTheMainWindowDoesNotHaveFailsByName) {
    ui::ScriptedDialogs dialogs;
    QTemporaryDir home;
    Tform_DB dm;
    TForm1 form(dm, home.path());
    bool ran = false;
    try {
        form.wire("btnClientii", [&] { ran = true; });
        FAIL() << "an unknown button was wired";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Il pulsante \"btnClientii\" non esiste nella finestra principale");
    }
    // The real name still wires.
    form.wire("btnClienti", [&] { ran = true; });
    form.button("btnClienti")->click();
    EXPECT_TRUE(ran);
}

} // namespace
