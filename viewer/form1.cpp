#include "viewer/form1.h"

#include "common/controls/dialogs.h"
#include "common/controls/icons.h"
#include "db/connection.h"
#include "viewer/anteprima.h"
#include "viewer/errore.h"
#include "viewer/esporta.h"
#include "viewer/impaginazione.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace stampa {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Stampa"));
    resize(1000, 760);
    CRViewer1 = new AnteprimaReport(this);
    setCentralWidget(CRViewer1);
    frmFiltro = new TfrmFiltro(m_globali, this);
    costruisciBarra();
    connect(CRViewer1, &AnteprimaReport::paginaCambiata, this, &TForm1::aggiornaPagina);
}

TForm1::~TForm1() = default;

void TForm1::costruisciBarra() {
    auto* barra = addToolBar(QStringLiteral("Anteprima"));
    barra->setObjectName(QStringLiteral("barraAnteprima"));
    barra->setMovable(false);
    barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto pulsante = [&](const char* nome, const QString& testo, const char* icona) {
        auto* b = new QToolButton(barra);
        b->setObjectName(QString::fromLatin1(nome));
        b->setText(testo);
        b->setToolTip(testo);
        b->setIcon(ui::themeIcon(QString::fromLatin1(icona)));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        barra->addWidget(b);
        return b;
    };
    m_stampa = pulsante("btnStampa", QStringLiteral("Stampa"), "document-print");
    m_esporta = pulsante("btnEsporta", QStringLiteral("Esporta"), "document-export");
    m_esporta->setPopupMode(QToolButton::InstantPopup);
    barra->addSeparator();
    m_prima = pulsante("btnPrima", QStringLiteral("Prima"), "go-first");
    m_precedente =
        pulsante("btnPrecedente", QStringLiteral("Precedente"), "go-previous");
    m_etichetta = new QLabel(barra);
    m_etichetta->setObjectName(QStringLiteral("lblPagina"));
    m_etichetta->setMinimumWidth(150);
    m_etichetta->setAlignment(Qt::AlignCenter);
    barra->addWidget(m_etichetta);
    m_successiva =
        pulsante("btnSuccessiva", QStringLiteral("Successiva"), "go-next");
    m_ultima = pulsante("btnUltima", QStringLiteral("Ultima"), "go-last");
    barra->addSeparator();
    m_zoom = new QComboBox(barra);
    m_zoom->setObjectName(QStringLiteral("cmbZoom"));
    for (int z : {50, 75, 100, 125, 150, 200})
        m_zoom->addItem(QStringLiteral("%1%").arg(z), z);
    m_zoom->setCurrentIndex(2);
    barra->addWidget(m_zoom);
    barra->addSeparator();
    auto* chiudi = pulsante("btnChiudi", QStringLiteral("Chiudi"), "window-close");

    connect(m_prima, &QToolButton::clicked, this, [this] { CRViewer1->vaiA(0); });
    connect(m_precedente, &QToolButton::clicked, this,
            [this] { CRViewer1->vaiA(CRViewer1->pagina() - 1); });
    connect(m_successiva, &QToolButton::clicked, this,
            [this] { CRViewer1->vaiA(CRViewer1->pagina() + 1); });
    connect(m_ultima, &QToolButton::clicked, this,
            [this] { CRViewer1->vaiA(CRViewer1->numeroPagine() - 1); });
    connect(m_zoom, qOverload<int>(&QComboBox::activated), this,
            [this](int i) { CRViewer1->setZoom(m_zoom->itemData(i).toInt()); });
    connect(m_stampa, &QToolButton::clicked, this, &TForm1::stampaClick);
    connect(chiudi, &QToolButton::clicked, this, &QWidget::close);
    aggiornaPagina();
}

void TForm1::aggiornaPagina() {
    const int n = CRViewer1->numeroPagine();
    const int p = CRViewer1->pagina();
    // Until the whole report is laid out, its page count is unknown and it cannot be
    // printed or exported.
    const bool parziale = m_documento && m_documento->provvisorio();
    m_etichetta->setText(!n         ? QString()
                         : parziale ? QStringLiteral("Pagina %1 di …").arg(p + 1)
                                    : QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(n));
    m_prima->setEnabled(p > 0);
    m_precedente->setEnabled(p > 0);
    m_successiva->setEnabled(p + 1 < n);
    m_ultima->setEnabled(p + 1 < n && !parziale);
    m_stampa->setEnabled(n > 0 && !parziale);
    m_esporta->setEnabled(n > 0 && !parziale && !m_formati.isEmpty());
    const int z = m_zoom->findData(CRViewer1->zoom());
    if (z >= 0) m_zoom->setCurrentIndex(z);
    if (!m_esporta->menu() && !m_formati.isEmpty()) {
        auto* menu = new QMenu(m_esporta);
        for (const FormatoAttivo& f : std::as_const(m_formati)) {
            QAction* a = menu->addAction(f.descrizione);
            a->setObjectName(QStringLiteral("esporta_") + f.estensione);
            connect(a, &QAction::triggered, this, [this, n = f.numero] { esportaClick(n); });
        }
        m_esporta->setMenu(menu);
    }
}

void TForm1::stampaClick() {
    if (!m_documento || !m_stampante) return;
    QPrinter& pr = *m_stampante;
    int da = 0, a = -1;
    // With the default printer chosen in the options nobody is asked which printer to use.
    if (m_lavoro.setup) {
        QPrintDialog dialogo(&pr, this);
        dialogo.setMinMax(1, m_documento->numeroPagine());
        if (ui::dialogs().exec(&dialogo) != QDialog::Accepted) return;
        if (dialogo.printRange() == QAbstractPrintDialog::PageRange) {
            da = dialogo.fromPage() - 1;
            a = dialogo.toPage() - 1;
        }
    }
    if (pr.outputFormat() == QPrinter::PdfFormat && pr.outputFileName().isEmpty()) {
        ui::dialogs().message(this,
                              QStringLiteral("Nessuna stampante disponibile: il report può essere "
                                             "salvato con \"Esporta\"."),
                              QStringLiteral("Stampa"), ui::MessageIcon::Warning);
        return;
    }
    pr.setFullPage(true);
    pr.setDocName(m_documento->titolo());
    try {
        disegnaPagine(*m_documento, pr, pr.resolution(), da, a);
    } catch (const ErroreStampa& e) {
        ui::dialogs().message(this, e.text(), QStringLiteral("Stampa"), ui::MessageIcon::Error);
    }
}

void TForm1::esportaClick(int numero) {
    const std::optional<Formato> formato = formatoDaNumero(numero);
    if (!m_documento || !formato) return;
    FormatoAttivo f;
    for (const FormatoAttivo& x : std::as_const(m_formati))
        if (x.numero == numero) f = x;
    QString file =
        ui::dialogs().saveFile(this, QStringLiteral("Esporta"),
                               QDir(m_home).filePath(m_documento->titolo() + u'.' + f.estensione),
                               QStringLiteral("%1 (*.%2)").arg(f.descrizione, f.estensione));
    if (file.isEmpty()) return;
    if (!f.estensione.isEmpty() && QFileInfo(file).suffix().isEmpty()) file += u'.' + f.estensione;
    try {
        esporta(*formato, *m_documento, *m_principale, file);
    } catch (const ErroreStampa& e) {
        ui::dialogs().message(this, e.text(), QStringLiteral("Stampa"), ui::MessageIcon::Error);
    }
}

} // namespace stampa
