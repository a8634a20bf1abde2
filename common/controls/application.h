#pragma once

#include <QApplication>
#include <QString>
#include <exception>

namespace ui {

// The programs' application object and their default error handler. An
// exception that escapes an event handler (a button's slot, a key handler, a timer) is shown
// in a message box through the dialog service, caption "Errore" — db::DatabaseError with
// its text(), any other std::exception with what() — and that action stops; the program goes
// on. F1 opens the help of the focused window (help.h); every window's controls get their
// screen-reader names when it is first shown (FormConventions::nameEveryWindow).
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The text shown for an exception (also usable by code that catches on its own).
    static QString errorText(const std::exception& e);
    // Shows `text` as the default error handler does.
    static void showError(const QString& text);
};

// The handler's work for one call, for code that runs outside an event handler (start-up
// steps before the event loop): runs `action`, shows an escaping exception like the
// default handler and returns false for it.
template <class Action>
bool runGuarded(Action&& action) {
    try {
        action();
        return true;
    } catch (const std::exception& e) {
        Application::showError(Application::errorText(e));
    } catch (...) {
        Application::showError(QStringLiteral("Errore sconosciuto"));
    }
    return false;
}

// Loads Qt's own Italian translations (standard buttons, file dialogs, context menus) into
// the running application; every program calls it once, right after creating its
// application object. False when the translation files are not installed: the program goes
// on in English rather than not starting.
bool loadQtTranslations();

} // namespace ui
