#include "app/shell/form1.h"

#include "app/shell/form_db.h"
#include "app/shell/frmpass.h"
#include "app/shell/startup.h"
#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "common/controls/gridlayout.h"
#include "common/controls/help.h"
#include "common/controls/icons.h"
#include "common/paths.h"
#include "db/error.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>

#include <stdexcept>

namespace {

constexpr int kColumns = 6;

struct ButtonDef {
    const char* name;
    const char* caption;
    const char* icon; // theme icon name
};

} // namespace

TForm1::TForm1(Tform_DB& dm, QString homeFolder, QWidget* parent)
    : QMainWindow(parent), m_dm(dm), m_home(std::move(homeFolder)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Gestione attività Ginniche"));
    setProperty("helpContext", 100);
    resize(1024, 569);

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    pgcBarra = new QTabWidget(central);
    pgcBarra->setObjectName(QStringLiteral("pgcBarra"));
    pgcBarra->setDocumentMode(false);
    pgcBarra->addTab(buildArchivio(), QStringLiteral("Archivio  "));
    pgcBarra->addTab(buildAttivita(), QStringLiteral("Attività"));
    pgcBarra->addTab(buildStampe(), QStringLiteral("Stampe  "));
    pgcBarra->addTab(buildStorico(), QStringLiteral("  Storico  "));
    pgcBarra->addTab(buildVideo(), QStringLiteral("Video"));
    pgcBarra->setCurrentIndex(2);
    outer->addWidget(pgcBarra, 1);

    auto* bottom = new QHBoxLayout;
    auto* help = new QToolButton(central);
    help->setObjectName(QStringLiteral("SpeedButton3"));
    help->setText(QStringLiteral("Aiuto"));
    help->setIcon(ui::themeIcon(QStringLiteral("help-contents")));
    help->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    help->setFocusPolicy(Qt::NoFocus);
    connect(help, &QToolButton::clicked, this, [this] {
        ui::help().showHelp(QApplication::focusWidget() ? QApplication::focusWidget() : this);
    });
    Memo1 = new QPlainTextEdit(central);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setMaximumHeight(44);
    Memo1->setToolTip(QStringLiteral("Archivio in uso"));
    auto* rete = new QPushButton(QStringLiteral("Lavora in Rete"), central);
    rete->setObjectName(QStringLiteral("SpeedButton11"));
    rete->setToolTip(QStringLiteral("Serve a lavorare su archivi in Rete, solo se i computer sono collegati"));
    rete->setIcon(ui::themeIcon(QStringLiteral("network-workgroup")));
    connect(rete, &QPushButton::clicked, this, &TForm1::SpeedButton11Click);
    auto* esci = new QPushButton(QStringLiteral("Esci"), central);
    esci->setObjectName(QStringLiteral("SpeedButton8"));
    esci->setIcon(ui::themeIcon(QStringLiteral("application-exit")));
    connect(esci, &QPushButton::clicked, this, &TForm1::SpeedButton8Click);
    auto* connessione = new QPushButton(QStringLiteral("Connessione"), central);
    connessione->setObjectName(QStringLiteral("cmdConnessione"));
    connessione->setVisible(false);
    connect(connessione, &QPushButton::clicked, this, &TForm1::cmdConnessioneClick);
    bottom->addWidget(help);
    bottom->addWidget(Memo1, 1);
    bottom->addWidget(rete);
    bottom->addWidget(esci);
    outer->addLayout(bottom);
    setCentralWidget(central);

    // The only menu entry is hidden; its shortcut works from anywhere in the window.
    auto* N1 = menuBar()->addMenu(QStringLiteral("N1"));
    N1->setObjectName(QStringLiteral("N1"));
    Ditta1 = N1->addAction(QStringLiteral("Ditta"));
    Ditta1->setObjectName(QStringLiteral("Ditta1"));
    Ditta1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    Ditta1->setShortcutContext(Qt::ApplicationShortcut);
    addAction(Ditta1);
    menuBar()->setVisible(false);
    connect(Ditta1, &QAction::triggered, this, [this] {
        if (mostraDitta) mostraDitta();
    });
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));

    // Memo1 and the date boxes follow the forms' focus colours and arrow keys.
    ui::FormConventions::install(this);
    ui::FormConventions::setArrowNavigation(Memo1);

    askPassword = [this] { return TfrmPass::chiedi(this); };
    caricaGriglia = [this](const QString& name) {
        if (ui::DBGrid* grid = m_dm.griglie.value(name))
            ui::CaricaGriglia(name, *grid, m_dm.TableGriglie, false, m_dm.nomeComputer);
    };

    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

TForm1::~TForm1() = default;

QToolButton* TForm1::addButton(QWidget* page, const char* name, const QString& caption, const char* icon) {
    auto* grid = static_cast<QGridLayout*>(page->layout());
    const int index = grid->count();
    auto* b = new QToolButton(page);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(caption);
    b->setIcon(ui::themeIcon(QString::fromLatin1(icon)));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setMinimumSize(150, 72);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    b->setEnabled(false); // each window module enables its own buttons
    grid->addWidget(b, index / kColumns, index % kColumns);
    return b;
}

static QWidget* gridPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    grid->setSpacing(8);
    return page;
}

QWidget* TForm1::buildArchivio() {
    QWidget* page = gridPage();
    const ButtonDef defs[] = {
        {"btnClienti", "Clienti", "user-identity"},
        {"btnPersonale", "Personale", "user-group-properties"},
        {"btnOrari", "Orari", "view-calendar-week"},
        {"btnOccasionali", "Occasionali", "user-others"},
        {"btnModalitaPagamento", "Modalità di Pagamento", "view-financial-account-credit-card"},
        {"btnComuni", "Comuni", "postalcode"},
        {"btnGruppiMuscolari", "Gruppi Muscolari", "object-group"},
        {"btnGruppiSportivi", "Gruppi Sportivi", "group"},
        {"btnOperazioniPagamenti", "Operazioni Pagamenti", "view-financial-list"},
        {"btnStagioni", "Stagioni", "weather-few-clouds"},
        {"btnTipoAbbonamento", "Tipo Abbonamento", "view-certificate"},
        {"btnEsercizi", "Esercizi", "chronometer"},
        {"btnAlimenti", "Alimenti", "food"},
        {"btnPatologie", "Patologie", "view-pim-journal"},
        {"btnAttivitaCalendario", "Presenze", "meeting-attending"},
        {"btnArchivioAvvisi", "Avvisi", "notifications"},
    };
    for (const auto& d : defs) addButton(page, d.name, QString::fromUtf8(d.caption), d.icon);
    return page;
}

QWidget* TForm1::buildAttivita() {
    QWidget* page = gridPage();
    const ButtonDef defs[] = {
        {"SpeedButton13", "Utilità", "applications-utilities"},
        {"btnAttivitaPagamenti", "Pagamenti", "view-financial-account-cash"},
        {"btnAttivitaOpzioni", "Opzioni", "configure"},
        {"btnUtilityRealizzazione", "Realizzazione", "help-about"},
        {"btnScadenziario", "Scadenziario", "view-calendar-tasks"},
        {"btnEsportazioni", "Esportazioni", "document-export"},
        {"btnAttivitaAvvisiClienti", "Avvisi Clienti", "preferences-desktop-notification-bell"},
    };
    for (const auto& d : defs) addButton(page, d.name, QString::fromUtf8(d.caption), d.icon);
    page->findChild<QToolButton*>(QStringLiteral("SpeedButton13"))->setToolTip(QStringLiteral("Utilità"));
    return page;
}

QWidget* TForm1::buildStampe() {
    QWidget* page = gridPage();
    const ButtonDef defs[] = {
        {"btnStampeClienti", "Clienti", "user-identity"},
        {"btnStampePersonale", "Personale", "user-group-properties"},
        {"btnStampaOrari", "Orari", "view-calendar-week"},
        {"btnStampeEsercizi", "Esercizi", "chronometer"},
        {"btnStampeAlimenti", "Alimenti", "food"},
        {"btnStampePatologie", "Patologie", "view-pim-journal"},
        {"btnStampePagamenti", "Pagamenti", "view-financial-account-cash"},
        {"btnStampeScadenziario", "Scadenziario", "view-calendar-tasks"},
        {"btnStampeOrariClienti", "Orari per Clienti", "view-calendar-day"},
        {"btnStampeConteggioClienti", "Conteggio Clienti", "office-chart-bar"},
        {"btnStampeOccasionali", "Occasionali", "user-others"},
        {"BitBtn1", "Presenze", "meeting-attending"},
    };
    for (const auto& d : defs) addButton(page, d.name, QString::fromUtf8(d.caption), d.icon);
    return page;
}

QWidget* TForm1::buildStorico() {
    auto* page = new QWidget;
    auto* box = new QGroupBox(QStringLiteral("Storico presenze"), page);
    auto* form = new QGridLayout(box);
    maskDa = new QLineEdit(box);
    maskDa->setObjectName(QStringLiteral("maskDa"));
    maskA = new QLineEdit(box);
    maskA->setObjectName(QStringLiteral("maskA"));
    for (QLineEdit* m : {maskDa, maskA}) {
        m->setInputMask(QStringLiteral("99/99/9999;_"));
        m->setFixedWidth(110);
    }
    form->addWidget(new QLabel(QStringLiteral("Dalla data"), box), 0, 0);
    form->addWidget(maskDa, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("Alla data"), box), 1, 0);
    form->addWidget(maskA, 1, 1);
    auto* storico = new QToolButton(box);
    storico->setObjectName(QStringLiteral("btnStoricoCalendario"));
    storico->setText(QStringLiteral("Presenze"));
    storico->setIcon(ui::themeIcon(QStringLiteral("view-history")));
    storico->setIconSize(QSize(32, 32));
    storico->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    storico->setMinimumSize(150, 72);
    storico->setEnabled(false);
    connect(storico, &QToolButton::clicked, this, [this] {
        if (mostraStorico) mostraStorico(maskDa->text(), maskA->text());
    });
    form->addWidget(storico, 0, 2, 2, 1);
    connect(maskDa, &QLineEdit::editingFinished, this, &TForm1::maskDaExit);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(box, 0, Qt::AlignTop | Qt::AlignLeft);
    layout->addStretch(1);
    return page;
}

QWidget* TForm1::buildVideo() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    struct VideoDef {
        const char* name;
        const char* caption;
        const char* file; // empty: no action
    };
    const VideoDef generale[] = {
        {"BitBtn2", "Introduzione", "Vastrel_Introduzione.mp4"},
        {"BitBtn6", "Griglie", "Griglie.mp4"},
        {"BitBtn7", "Archivio clienti", "Vastrel_Archivio_Clienti.mp4"},
        {"BitBtn17", "Stampe", "Vastrel_Stampe.mp4"},
        {"BitBtn18", "Storico", "Vastrel_Storico.mp4"},
        {"BitBtn27", "Utilizzo reports", "Stampe_Reports.mp4"},
        {"BitBtn19", "Utility", ""},
    };
    const VideoDef attivita[] = {
        {"BitBtn9", "Avvisi clienti", "Attivita_Avvisi_clienti.mp4"},
        {"BitBtn10", "Altre attività", "Vastrel_Altre_Attivita.mp4"},
        {"BitBtn12", "Esportazioni", "Attivita_Esportazioni.mp4"},
        {"BitBtn15", "Opzioni", "Vastrel_Opzioni.mp4"},
    };
    auto group = [&](const QString& title, const VideoDef* defs, int n) {
        auto* box = new QGroupBox(title, page);
        auto* grid = new QGridLayout(box);
        grid->setAlignment(Qt::AlignTop);
        for (int i = 0; i < n; ++i) {
            auto* b = new QPushButton(QString::fromUtf8(defs[i].caption), box);
            b->setObjectName(QString::fromLatin1(defs[i].name));
            b->setIcon(ui::themeIcon(QStringLiteral("media-playback-start")));
            b->setMinimumHeight(36);
            const QString file = QString::fromLatin1(defs[i].file);
            if (!file.isEmpty()) connect(b, &QPushButton::clicked, this, [this, file] { playVideo(file); });
            grid->addWidget(b, i / 2, i % 2);
        }
        layout->addWidget(box, 1, Qt::AlignTop);
    };
    group(QStringLiteral("Generale"), generale, int(std::size(generale)));
    group(QStringLiteral("Attività"), attivita, int(std::size(attivita)));
    return page;
}

QToolButton* TForm1::button(const QString& name) const {
    return findChild<QToolButton*>(name);
}

void TForm1::wire(const QString& name, std::function<void()> action) {
    QToolButton* b = button(name);
    // A misspelt name would leave a window unreachable without a word: stop instead.
    if (!b)
        throw std::invalid_argument(
            QStringLiteral("Il pulsante \"%1\" non esiste nella finestra principale").arg(name).toStdString());
    b->setEnabled(true);
    connect(b, &QToolButton::clicked, this, [action = std::move(action)] { action(); });
}

QString TForm1::videoBaseUrl() {
    const QString custom = qEnvironmentVariable("VASTREL_VIDEO_URL");
    return custom.isEmpty() ? QStringLiteral("https://www.vastrel.it/FilmatoLocale.php?Video=/Video/")
                            : custom;
}

void TForm1::playVideo(const QString& file) {
    const QString local = QDir(common::programFolder()).filePath(file);
    ui::openOnDesktop(this, QFileInfo::exists(local) ? QUrl::fromLocalFile(local) : QUrl(videoBaseUrl() + file));
}

void TForm1::maskDaExit() {
    // Only a complete "Dalla data" fills an empty "Alla data", with 31/12 of its year.
    const QString from = maskDa->text();
    const QString to = maskA->text();
    auto digits = [](const QString& s) {
        int n = 0;
        for (QChar c : s) n += c.isDigit();
        return n;
    };
    if (digits(from) == 8 && digits(to) == 0) maskA->setText(QStringLiteral("31/12/") + from.right(4));
}

QString TForm1::databasePath() const { return m_startup ? m_startup->databasePath : QString(); }
QString TForm1::databaseCopyPath() const {
    return m_startup ? m_startup->databaseCopyPath : QString();
}

bool TForm1::event(QEvent* e) {
    const bool handled = QMainWindow::event(e);
    // After a failed start-up the window is activated again by the closing error box and
    // by the launch's own timer: only an activation after the user has been elsewhere
    // runs the sequence again, so each failure is shown once.
    if (e->type() == QEvent::WindowDeactivate && !m_running) m_failed = false;
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return handled;
}

void TForm1::FormActivate() {
    if (m_started || m_running || m_failed) return;
    m_running = true;
    StartupSequence::Hooks hooks;
    hooks.showPath = [this](const QString& text) { Memo1->setPlainText(text); };
    hooks.setYear = impostaAnno;
    hooks.loadGrid = caricaGriglia;
    hooks.askPassword = askPassword;
    m_startup = std::make_unique<StartupSequence>(m_dm, m_home, hooks);
    const auto result = m_startup->run(this);
    m_running = false;
    m_failed = result == StartupSequence::Result::Failed;
    if (result == StartupSequence::Result::Quit) {
        QApplication::exit(0);
        return;
    }
    if (result == StartupSequence::Result::Ready) {
        m_started = true;
        Q_EMIT avviato();
    }
}

void TForm1::cmdConnessioneClick() { m_dm.riapriQuery(); }

void TForm1::SpeedButton11Click() {
    const QString chosen = ui::dialogs().openFile(
        this, QStringLiteral("Lavora in Rete"), QFileInfo(databasePath()).absolutePath(),
        QStringLiteral("Database (archivio.db)"));
    if (chosen.isEmpty()) return;
    // Connect first: percorso.txt changes only when the new database really opens.
    m_dm.chiudiQuery();
    m_dm.Connessione.close();
    try {
        m_dm.Connessione.open(chosen);
    } catch (const db::DatabaseError&) {
        // Back to the database in use, so the program stays usable; then report.
        if (!databasePath().isEmpty()) {
            m_dm.Connessione.open(databasePath());
            m_dm.riapriQuery();
        }
        throw;
    }
    Memo1->setPlainText(chosen);
    QFile f(QDir(m_home).filePath(QStringLiteral("percorso.txt")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw db::DatabaseError(QStringLiteral("Impossibile scrivere %1").arg(f.fileName()));
    f.write(chosen.toUtf8() + '\n');
    f.close();
    if (m_startup) {
        m_startup->databasePath = chosen;
        m_startup->databaseCopyPath = chosen;
    }
    cmdConnessioneClick();
}

void TForm1::SpeedButton8Click() { close(); }

void TForm1::closeEvent(QCloseEvent* e) {
    // The other windows close first, while the shared queries are still open: a window that
    // asks about unsaved changes can still save them, or keep the program running.
    ui::help().closeAll();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible()) continue;
        if (!w->close()) {
            e->ignore();
            return;
        }
    }
    m_dm.chiudiQuery();
    m_dm.Connessione.close();
    e->accept();
    QApplication::quit();
}
