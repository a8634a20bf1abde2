#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;

namespace ui {

enum class MessageIcon { None, Information, Warning, Error };

// Every message box, question, file dialog and modal window of the programs goes through
// this service, so tests can answer them (ScriptedDialogs) instead of a person.
class DialogService {
public:
    virtual ~DialogService() = default;
    // A box with only an OK button.
    virtual void message(QWidget* parent, const QString& text, const QString& caption,
                         MessageIcon icon = MessageIcon::None) = 0;
    // Yes/No; true for Yes.
    virtual bool question(QWidget* parent, const QString& text, const QString& caption) = 0;
    // Empty string when cancelled. `filter` uses Qt's "Name (*.ext)" syntax.
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& dir,
                             const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& dir,
                             const QString& filter, QString* selectedFilter = nullptr) = 0;
    virtual QString chooseFolder(QWidget* parent, const QString& caption, const QString& dir) = 0;
    // Shows a window modally; returns its QDialog result code.
    virtual int exec(QDialog* dialog) = 0;
    // False when no window can reach a person (an unattended run): exec() then shows nothing
    // and a step that needs a person's answer must fail instead of going on.
    virtual bool canShowWindows() const { return true; }
};

// Whether the platform has a screen at all ("offscreen" and "minimal" have none).
bool screenAvailable();

// The service in use: the real one unless a test installed another.
DialogService& dialogs();
// Installs a service (not owned); nullptr restores the real one. Returns the previous one.
DialogService* setDialogs(DialogService* service);

// The service of a real run: QMessageBox, QFileDialog, QDialog::exec.
class WidgetDialogs : public DialogService {
public:
    void message(QWidget* parent, const QString& text, const QString& caption,
                 MessageIcon icon) override;
    bool question(QWidget* parent, const QString& text, const QString& caption) override;
    QString openFile(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter, QString* selectedFilter) override;
    QString chooseFolder(QWidget* parent, const QString& caption, const QString& dir) override;
    int exec(QDialog* dialog) override;
};

// For unattended runs (VASTREL_NONINTERACTIVE): messages go to standard error, questions
// answer No, file dialogs are cancelled, modal windows are rejected without being shown.
class ConsoleDialogs : public DialogService {
public:
    void message(QWidget* parent, const QString& text, const QString& caption,
                 MessageIcon icon) override;
    bool question(QWidget* parent, const QString& text, const QString& caption) override;
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&, QString*) override {
        return {};
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    int exec(QDialog* dialog) override;
    bool canShowWindows() const override { return false; }
};

// For tests: records every message and question and answers from scripts. Installed for
// its lifetime. Questions answer from `answers` in order (Yes when it runs out, counted in
// `unexpected`); file dialogs from `files`; a modal window is shown, handed to the handler set
// with when() for its object name, or else to `onExec` (either drives it: fills boxes, clicks
// buttons), and its result returned. Handlers by name let one test drive a chain of windows
// (a list opening a record opening a picker) without one function that tells them apart.
class ScriptedDialogs : public DialogService {
public:
    struct Shown {
        QString kind; // "message", "question", "open", "save", "folder", "exec"
        QString text;
        QString caption;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    QList<Shown> shown;
    QList<bool> answers;
    QStringList files;
    std::function<void(QDialog*)> onExec;
    int unexpected = 0;

    // What to do whenever the window named `windowName` is shown modally; replaces an earlier
    // handler of that name, and an empty function removes it.
    void when(const QString& windowName, std::function<void(QDialog*)> drive);
    // How many times the window of that name was shown modally.
    int execs(const QString& windowName) const;
    // How many entries of `shown` are of this kind ("message", "question", …).
    int count(const QString& kind) const;

    QStringList messages() const; // texts of message boxes, in order
    void message(QWidget* parent, const QString& text, const QString& caption,
                 MessageIcon icon) override;
    bool question(QWidget* parent, const QString& text, const QString& caption) override;
    QString openFile(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter, QString* selectedFilter) override;
    QString chooseFolder(QWidget* parent, const QString& caption, const QString& dir) override;
    int exec(QDialog* dialog) override;

private:
    DialogService* m_previous;
    QHash<QString, std::function<void(QDialog*)>> m_handlers;
};

} // namespace ui
