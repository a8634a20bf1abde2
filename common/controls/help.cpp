#include "common/controls/help.h"

#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>

namespace ui {

namespace {
const char* const PropContext = "helpContext";
}

HelpService::HelpService() = default;

// Help windows still open at exit go with the application's windows, not with this object
// (destroyed after the QApplication).
HelpService::~HelpService() = default;

HelpService& help() {
    static HelpService service;
    return service;
}

QString HelpService::helpFolder() const {
    if (!m_folder.isEmpty()) return m_folder;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/help");
}

void HelpService::setHelpFolder(const QString& folder) { m_folder = folder; }

void HelpService::setHelpContext(QWidget* window, int context) {
    if (window) window->setProperty(PropContext, context);
}

int HelpService::helpContextFor(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        bool ok = false;
        const int c = w->property(PropContext).toInt(&ok);
        if (ok && c > 0) return c;
    }
    return 0;
}

QString HelpService::pageFor(int context) const {
    const QDir folder(helpFolder());
    if (!folder.exists()) return QString();
    if (context > 0) {
        const QString page = folder.filePath(QString::number(context) + QStringLiteral(".html"));
        if (QFileInfo::exists(page)) return page;
    }
    return folder.filePath(QStringLiteral("index.html"));
}

QTextBrowser* HelpService::showHelp(QWidget* widget) {
    if (!widget) widget = QApplication::focusWidget();
    if (!widget) widget = QApplication::activeWindow();
    return showContext(helpContextFor(widget), widget);
}

QTextBrowser* HelpService::showContext(int context, QWidget* parent) {
    const QString caption = QStringLiteral("Messaggio di errore");
    QWidget* owner = parent ? parent->window() : nullptr;
    if (!QDir(helpFolder()).exists()) {
        dialogs().message(owner,
                          QStringLiteral("Impossibile aprire la guida: manca la cartella ") +
                              QDir::toNativeSeparators(helpFolder()),
                          caption, MessageIcon::Error);
        return nullptr;
    }
    const QString page = pageFor(context);
    if (!QFileInfo::exists(page)) {
        const QString expected = context > 0
            ? QDir(helpFolder()).filePath(QString::number(context) + QStringLiteral(".html"))
            : page;
        dialogs().message(owner,
                          QStringLiteral("Impossibile aprire la guida: manca il file ") +
                              QDir::toNativeSeparators(expected),
                          caption, MessageIcon::Error);
        return nullptr;
    }

    // While a modal window is open only its own child windows take input: the help window
    // belongs to it then, so the user can read and scroll it.
    QWidget* modal = QApplication::activeModalWidget();
    m_windows.removeAll(nullptr);
    QTextBrowser* browser = nullptr;
    for (const auto& w : m_windows)
        if (w && w->parentWidget() == modal) browser = w;
    if (!browser) {
        browser = new QTextBrowser(modal);
        browser->setWindowFlags(Qt::Window);
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->setObjectName(QStringLiteral("HelpWindow"));
        FormConventions::setExcluded(browser); // a reader, not a form's memo
        browser->setOpenExternalLinks(true);
        browser->resize(760, 560);
        m_windows << browser;
    }
    browser->setSearchPaths({helpFolder()});
    browser->setSource(QUrl::fromLocalFile(page));
    browser->setProperty("helpPage", page);
    browser->setProperty(PropContext, context);
    // Pages may name the guide in their own title already ("Alimenti - Guida di Vastrel").
    const QString guide = QStringLiteral("Guida di Vastrel");
    const QString title = browser->documentTitle().trimmed();
    browser->setWindowTitle(title.isEmpty()             ? guide
                            : title.contains(guide)     ? title
                                                        : guide + QStringLiteral(" - ") + title);
    browser->show();
    browser->raise();
    browser->activateWindow();
    return browser;
}

QList<QTextBrowser*> HelpService::windows() const {
    QList<QTextBrowser*> out;
    for (const auto& w : m_windows)
        if (w && w->isVisible()) out << w.data();
    return out;
}

void HelpService::closeAll() {
    const auto list = m_windows;
    m_windows.clear();
    for (const auto& w : list)
        if (w) {
            w->close(); // deletes itself (WA_DeleteOnClose)
        }
}

void HelpService::installF1() {
    if (m_f1Installed || !qApp) return;
    qApp->installEventFilter(this);
    m_f1Installed = true;
}

bool HelpService::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_F1 && (ke->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            showHelp(static_cast<QWidget*>(watched));
            return true;
        }
    }
    return false;
}

} // namespace ui
