#include "common/controls/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace ui {

namespace {
WidgetDialogs& realDialogs() {
    static WidgetDialogs real;
    return real;
}
DialogService* g_current = nullptr;
} // namespace

bool screenAvailable() {
    const QString p = QGuiApplication::platformName();
    return p != u"offscreen" && !p.startsWith(u"minimal");
}

DialogService& dialogs() { return g_current ? *g_current : realDialogs(); }

DialogService* setDialogs(DialogService* service) {
    DialogService* previous = g_current;
    g_current = service;
    return previous;
}

void WidgetDialogs::message(QWidget* parent, const QString& text, const QString& caption,
                            MessageIcon icon) {
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    switch (icon) {
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::None: break;
    }
    box.exec();
}

bool WidgetDialogs::question(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    QPushButton* yes = box.addButton(QStringLiteral("Sì"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    box.exec();
    return box.clickedButton() == yes;
}

QString WidgetDialogs::openFile(QWidget* parent, const QString& caption, const QString& dir,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString WidgetDialogs::saveFile(QWidget* parent, const QString& caption, const QString& dir,
                                const QString& filter, QString* selectedFilter) {
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
}

QString WidgetDialogs::chooseFolder(QWidget* parent, const QString& caption, const QString& dir) {
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

int WidgetDialogs::exec(QDialog* dialog) { return dialog->exec(); }

void ConsoleDialogs::message(QWidget*, const QString& text, const QString& caption, MessageIcon) {
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
}

bool ConsoleDialogs::question(QWidget*, const QString& text, const QString& caption) {
    std::fprintf(stderr, "%s: %s [No]\n", qUtf8Printable(caption), qUtf8Printable(text));
    return false;
}

int ConsoleDialogs::exec(QDialog* dialog) {
    std::fprintf(stderr, "%s: (finestra non mostrata)\n", qUtf8Printable(dialog->windowTitle()));
    return QDialog::Rejected;
}

ScriptedDialogs::ScriptedDialogs() : m_previous(setDialogs(this)) {}
ScriptedDialogs::~ScriptedDialogs() { setDialogs(m_previous); }

void ScriptedDialogs::when(const QString& windowName, std::function<void(QDialog*)> drive) {
    if (drive)
        m_handlers.insert(windowName, std::move(drive));
    else
        m_handlers.remove(windowName);
}

int ScriptedDialogs::execs(const QString& windowName) const {
    int n = 0;
    for (const auto& s : shown)
        if (s.kind == u"exec" && s.text == windowName) ++n;
    return n;
}

int ScriptedDialogs::count(const QString& kind) const {
    int n = 0;
    for (const auto& s : shown)
        if (s.kind == kind) ++n;
    return n;
}

QStringList ScriptedDialogs::messages() const {
    QStringList out;
    for (const auto& s : shown)
        if (s.kind == u"message") out << s.text;
    return out;
}

void ScriptedDialogs::message(QWidget*, const QString& text, const QString& caption, MessageIcon) {
    shown.append({QStringLiteral("message"), text, caption});
}

bool ScriptedDialogs::question(QWidget*, const QString& text, const QString& caption) {
    shown.append({QStringLiteral("question"), text, caption});
    if (answers.isEmpty()) {
        ++unexpected;
        return true;
    }
    return answers.takeFirst();
}

QString ScriptedDialogs::openFile(QWidget*, const QString& caption, const QString&, const QString& filter) {
    shown.append({QStringLiteral("open"), filter, caption});
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedDialogs::saveFile(QWidget*, const QString& caption, const QString&,
                                  const QString& filter, QString*) {
    shown.append({QStringLiteral("save"), filter, caption});
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedDialogs::chooseFolder(QWidget*, const QString& caption, const QString&) {
    shown.append({QStringLiteral("folder"), QString(), caption});
    return files.isEmpty() ? QString() : files.takeFirst();
}

int ScriptedDialogs::exec(QDialog* dialog) {
    shown.append({QStringLiteral("exec"), dialog->objectName(), dialog->windowTitle()});
    // Shown non-modally so the test can drive it; its own code sees it open and visible.
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    QApplication::processEvents();
    // A copy: the handler may replace itself while it runs (a window shown again later).
    if (const auto it = m_handlers.constFind(dialog->objectName()); it != m_handlers.cend()) {
        const std::function<void(QDialog*)> drive = it.value();
        drive(dialog);
    } else if (onExec) {
        onExec(dialog);
    }
    QApplication::processEvents();
    const int result = dialog->result();
    dialog->hide();
    return result;
}

} // namespace ui
