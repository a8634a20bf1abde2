#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QTextBrowser;
class QWidget;

namespace ui {

// Context help (F1, the "Aiuto" buttons): every window carries a help context number; the
// page help/<number>.html beside the executables is shown in a help window (QTextBrowser).
// A missing page falls back to help/index.html; a missing help folder is reported through
// the dialog service with the expected path.
class HelpService : public QObject {
    Q_OBJECT
public:
    HelpService();
    ~HelpService() override;

    // The folder of the pages: QCoreApplication::applicationDirPath() + "/help" unless set.
    QString helpFolder() const;
    void setHelpFolder(const QString& folder); // empty restores the default

    // The window's help context (dynamic property "helpContext").
    static void setHelpContext(QWidget* window, int context);
    // The context for `widget`: its own, or that of the nearest parent that has one (the
    // window's); 0 when none.
    static int helpContextFor(const QWidget* widget);

    // The page file shown for a context: <folder>/<context>.html when it exists, otherwise
    // <folder>/index.html. Empty when the folder does not exist.
    QString pageFor(int context) const;

    // Opens the help of `widget`'s window (the focused widget, or the active window, when
    // null). Returns the help window, nullptr when there was nothing to show (message given).
    QTextBrowser* showHelp(QWidget* widget = nullptr);
    QTextBrowser* showContext(int context, QWidget* parent = nullptr);

    // Help windows open now.
    QList<QTextBrowser*> windows() const;
    // Closes every help window (the main window is closing).
    void closeAll();

    // F1 anywhere in the application calls showHelp() for the focused widget. Idempotent.
    void installF1();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_folder;
    QList<QPointer<QTextBrowser>> m_windows;
    bool m_f1Installed = false;
};

HelpService& help();

} // namespace ui
