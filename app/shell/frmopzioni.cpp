#include "app/shell/frmopzioni.h"

#include "app/shell/form_db.h"
#include "app/shell/settings.h"
#include "common/controls/dbedits.h"
#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "common/controls/help.h"
#include "common/controls/icons.h"
#include "common/controls/toolbutton.h"
#include "common/paths.h"
#include "common/records.h"
#include "common/scanner/acquire.h"
#include "common/text.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QStyle>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kErrore = QStringLiteral("Messaggio di errore");

// A logo larger than this on its long side is reduced, proportions kept: the row would
// otherwise carry hundreds of megabytes of bitmap (a camera picture at full size).
constexpr int kLatoMassimoLogo = 2048;

// Capital extensions too: file names from cameras and other systems often have them.
const char* const kFiltroLogo =
    "All (*.png *.jpg *.jpeg *.bmp *.PNG *.JPG *.JPEG *.BMP);;Bitmaps (*.bmp *.BMP);;"
    "Portable Network Graphics (*.png *.PNG);;JPEG Image File (*.jpg *.JPG);;"
    "JPEG Image File (*.jpeg *.JPEG)";

QImage riduci(const QImage& image) {
    if (image.width() <= kLatoMassimoLogo && image.height() <= kLatoMassimoLogo) return image;
    return image.scaled(kLatoMassimoLogo, kLatoMassimoLogo, Qt::KeepAspectRatio,
                        Qt::SmoothTransformation);
}

QString estensione(const QString& file) {
    QString ext = common::EstensioneFile(QFileInfo(file).fileName()).toLower();
    if (ext == u"jpeg") ext = QStringLiteral("jpg");
    return ext;
}

} // namespace

TfrmOpzioni::TfrmOpzioni(Tform_DB& dm, QWidget* parent) : QDialog(parent), m_dm(dm) {
    setObjectName(QStringLiteral("frmOpzioni"));
    setWindowTitle(QStringLiteral("Opzioni"));
    ui::HelpService::setHelpContext(this, 300);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(8, 6, 8, 10);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    spdSalva = addTool(QStringLiteral("spdSalva"), QStringLiteral("Salva"), QStringLiteral("document-save"));
    spdSalva->setVisible(false);
    bar->addWidget(spdSalva);
    bar->addStretch(1);
    spdHelp = addTool(QStringLiteral("spdHelp"), QStringLiteral("Aiuto"), QStringLiteral("help-contents"));
    spdIndietro = addTool(QStringLiteral("spdIndietro"), QStringLiteral("Indietro"), QStringLiteral("go-previous"));
    bar->addWidget(spdHelp);
    bar->addWidget(spdIndietro);
    top->addLayout(bar);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    top->addWidget(line);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    tabGenerale = buildGenerale();
    tabLogo = buildLogo();
    tabEmail = buildEmail();
    PageControl1->addTab(tabGenerale, QStringLiteral("   Generale   "));
    PageControl1->addTab(tabLogo, QStringLiteral("   Logo   "));
    PageControl1->addTab(tabEmail, QStringLiteral(" Email "));
    top->addWidget(PageControl1, 1);
    resize(640, 480);

    connect(spdSalva, &QToolButton::clicked, this, [this] { spdSalvaClick(); });
    connect(spdHelp, &QToolButton::clicked, this, [this] { spdHelpClick(); });
    connect(spdIndietro, &QToolButton::clicked, this, [this] { spdIndietroClick(); });
    ui::FormConventions::install(this);
}

QToolButton* TfrmOpzioni::addTool(const QString& name, const QString& caption, const QString& icon) {
    return ui::toolButton(this, name, caption, icon);
}

QWidget* TfrmOpzioni::buildGenerale() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    DBLookupComboBox18 = new ui::DBLookupComboBox(page);
    DBLookupComboBox18->setObjectName(QStringLiteral("DBLookupComboBox18"));
    DBLookupComboBox18->setDataset(&m_dm.TableOpzioni);
    DBLookupComboBox18->setDataField(QStringLiteral("TipoEsportazione"));
    DBLookupComboBox18->setListSource(&m_dm.TableTipoEsportazioniCrystalReport,
                                      QStringLiteral("Numero"), QStringLiteral("Descrizione"));
    connect(DBLookupComboBox18, &ui::DBLookupComboBox::choiceMade, this,
            [this] { DBLookupComboBox18Click(); });
    connect(DBLookupComboBox18, &ui::DBLookupComboBox::cleared, this,
            [this] { DBLookupComboBox18Cleared(); });
    form->addRow(QStringLiteral("Formato di esportazione"), DBLookupComboBox18);

    auto* cartella = new QHBoxLayout;
    DBEdit23 = new ui::DBEdit(&m_dm.TableOpzioni, QStringLiteral("CartellaEsportazioneDocumenti"), page);
    DBEdit23->setObjectName(QStringLiteral("DBEdit23"));
    spdScegliCartella = new QToolButton(page);
    spdScegliCartella->setObjectName(QStringLiteral("spdScegliCartella"));
    spdScegliCartella->setIcon(ui::themeIcon(QStringLiteral("folder-open")));
    spdScegliCartella->setToolTip(QStringLiteral("Scegli la cartella"));
    spdApriCartella = new QToolButton(page);
    spdApriCartella->setObjectName(QStringLiteral("spdApriCartella"));
    spdApriCartella->setIcon(ui::themeIcon(QStringLiteral("system-file-manager")));
    spdApriCartella->setToolTip(QStringLiteral("Apri la cartella"));
    // Like the toolbars, the two buttons take no focus: Enter goes from the folder on to the
    // password, the next field, instead of stopping on a button without any highlight.
    for (QToolButton* b : {spdScegliCartella, spdApriCartella}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAccessibleName(b->toolTip());
    }
    cartella->addWidget(DBEdit23, 1);
    cartella->addWidget(spdScegliCartella);
    cartella->addWidget(spdApriCartella);
    form->addRow(QStringLiteral("Cartella Esp. Documenti"), cartella);
    connect(spdScegliCartella, &QToolButton::clicked, this, [this] { spdScegliCartellaClick(); });
    connect(spdApriCartella, &QToolButton::clicked, this, [this] { spdApriCartellaClick(); });

    DBEdit1 = new ui::DBEdit(&m_dm.TableOpzioni, QStringLiteral("PasswordAmministratore"), page);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setEchoMode(QLineEdit::Password);
    DBEdit1->setMaximumWidth(220);
    form->addRow(QStringLiteral("Password "), DBEdit1);

    DBCheckBox1 = new ui::DBCheckBox(&m_dm.TableOpzioni, QStringLiteral("StampanteDefault"),
                                     QStringLiteral("Utilizza nelle stampe direttamente la Stampante di Default"), page);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBCheckBox1->setToolTip(QStringLiteral("Se abilitato, non viene richiesta quale stampante utilizzare"));
    form->addRow(QString(), DBCheckBox1);
    DBCheckBox2 = new ui::DBCheckBox(&m_dm.TableOpzioni, QStringLiteral("StampaSchedeNoImmagine"),
                                     QStringLiteral("Stampa gli Esercizi senza Immagini"), page);
    DBCheckBox2->setObjectName(QStringLiteral("DBCheckBox2"));
    form->addRow(QString(), DBCheckBox2);
    return page;
}

QWidget* TfrmOpzioni::buildLogo() {
    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Immagine in archivio"), page);
    auto* row = new QHBoxLayout(group);
    DBImage1 = new ui::DBImage(&m_dm.TableDitta, QStringLiteral("Logo"), group);
    DBImage1->setObjectName(QStringLiteral("DBImage1"));
    DBImage1->setMinimumSize(360, 240);
    row->addWidget(DBImage1, 1);

    auto* buttons = new QVBoxLayout;
    auto add = [&](QToolButton*& b, const char* name, const char* caption, const char* icon) {
        b = new QToolButton(group);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(QString::fromUtf8(caption));
        b->setIcon(ui::themeIcon(QString::fromLatin1(icon)));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setMinimumWidth(170);
        buttons->addWidget(b);
    };
    add(btnCarica, "btnCarica", "Carica da File", "document-open");
    add(btnAcquisisci, "btnAcquisisci", "Acquisisci", "scanner");
    add(btnSalvaImmagine, "btnSalvaImmagine", "Salva come immagine", "document-save-as");
    add(btnCancella, "btnCancella", "Cancella", "edit-delete");
    add(btnModificaLogo, "btnModificaLogo", "Modifica il Logo", "document-edit");
    add(btnRidimensiona, "btnRidimensiona", "ridimensiona", "transform-scale");
    btnRidimensiona->setVisible(false);
    buttons->addStretch(1);
    row->addLayout(buttons);
    outer->addWidget(group);

    connect(btnCarica, &QToolButton::clicked, this, [this] { btnCaricaClick(); });
    connect(btnAcquisisci, &QToolButton::clicked, this, [this] { btnAcquisisciClick(); });
    connect(btnSalvaImmagine, &QToolButton::clicked, this, [this] { btnSalvaImmagineClick(); });
    connect(btnCancella, &QToolButton::clicked, this, [this] { btnCancellaClick(); });
    connect(btnModificaLogo, &QToolButton::clicked, this, [this] { btnModificaLogoClick(); });
    return page;
}

QWidget* TfrmOpzioni::buildEmail() {
    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Parametri Smtp"), page);
    auto* form = new QFormLayout(group);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto edit = [&](ui::DBEdit*& e, const char* name, const char* field, const char* label) {
        e = new ui::DBEdit(&m_dm.TableOpzioni, QString::fromLatin1(field), group);
        e->setObjectName(QString::fromLatin1(name));
        form->addRow(QString::fromUtf8(label), e);
    };
    edit(DBEdit2, "DBEdit2", "SmtpHost", "Nome Server SMTP");
    edit(DBEdit3, "DBEdit3", "SmtpPorta", "Porta");
    DBEdit3->setMaximumWidth(90);
    edit(DBEdit4, "DBEdit4", "SmtpUserName", "Username");
    edit(DBEdit5, "DBEdit5", "SmtpPassword", "Password");
    DBEdit5->setEchoMode(QLineEdit::Password);
    edit(DBEdit6, "DBEdit6", "SmtpMittenteEmail", "Email Mittente");
    DBCheckBox3 = new ui::DBCheckBox(&m_dm.TableOpzioni, QStringLiteral("SmtpAutenticazioneServer"),
                                     QStringLiteral("Autenticazione Server Necessaria"), group);
    DBCheckBox3->setObjectName(QStringLiteral("DBCheckBox3"));
    form->addRow(QString(), DBCheckBox3);
    DBCheckBox4 = new ui::DBCheckBox(&m_dm.TableOpzioni, QStringLiteral("SmtpCriptato"),
                                     QStringLiteral("Il Server Necessa di una protezione protetta"), group);
    DBCheckBox4->setObjectName(QStringLiteral("DBCheckBox4"));
    form->addRow(QString(), DBCheckBox4);
    cmbSmtpCriptaggioTipo = new QComboBox(group);
    cmbSmtpCriptaggioTipo->setObjectName(QStringLiteral("cmbSmtpCriptaggioTipo"));
    cmbSmtpCriptaggioTipo->addItems({QStringLiteral("SSLv2"), QStringLiteral("SSLv23"),
                                     QStringLiteral("SSLv3"), QStringLiteral("TLSv1")});
    cmbSmtpCriptaggioTipo->setMaximumWidth(140);
    form->addRow(QStringLiteral("Tipo Criptaggio"), cmbSmtpCriptaggioTipo);
    outer->addWidget(group);

    outer->addWidget(new QLabel(QStringLiteral("testo default Email"), page));
    DBMemo1 = new ui::DBMemo(&m_dm.TableOpzioni, QStringLiteral("EmailTestoDefault"), page);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    outer->addWidget(DBMemo1, 1);
    return page;
}

void TfrmOpzioni::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TfrmOpzioni::FormActivate() {
    garantisciRigaUnica(m_dm.TableOpzioni, QStringLiteral("ID"), this,
                        QStringLiteral("Le opzioni del programma non erano presenti in archivio: "
                                       "è stata creata una nuova riga di opzioni da compilare."));
    garantisciRigaUnica(m_dm.TableDitta, QStringLiteral("ID"), this,
                        QStringLiteral("I dati della ditta non erano presenti in archivio: è stata "
                                       "creata una nuova riga per il logo e i dati della ditta."));
    int tipo = -1;
    if (m_dm.TableOpzioni.isOpen() && !m_dm.TableOpzioni.isEmpty() &&
        !m_dm.TableOpzioni.isNull(QStringLiteral("SmtpCriptaggioTipo"))) {
        tipo = m_dm.TableOpzioni.value(QStringLiteral("SmtpCriptaggioTipo")).toInt();
        if (tipo < 0 || tipo >= cmbSmtpCriptaggioTipo->count()) tipo = -1;
    }
    cmbSmtpCriptaggioTipo->setCurrentIndex(tipo);
}

void TfrmOpzioni::DBLookupComboBox18Click() {
    // The list has moved to the chosen format: its extension goes with it.
    db::Dataset& formati = m_dm.TableTipoEsportazioniCrystalReport;
    if (formati.position() < 0) return;
    m_dm.TableOpzioni.setValue(QStringLiteral("EstensioneEsportazione"),
                               formati.value(QStringLiteral("Estensione")));
}

void TfrmOpzioni::DBLookupComboBox18Cleared() {
    if (m_dm.TableOpzioni.position() < 0) return;
    m_dm.TableOpzioni.setValue(QStringLiteral("TipoEsportazione"), QVariant());
    m_dm.TableOpzioni.setValue(QStringLiteral("EstensioneEsportazione"), QVariant());
}

void TfrmOpzioni::spdScegliCartellaClick() {
    const QString copia = cartellaIniziale ? cartellaIniziale() : QString();
    const QString inizio = copia.isEmpty() ? common::homeFolder() : QFileInfo(copia).absolutePath();
    const QString scelta = ui::dialogs().chooseFolder(this, QStringLiteral("Cartella Esp. Documenti"), inizio);
    if (scelta.isEmpty() || !QFileInfo(scelta).isDir()) return;
    if (m_dm.TableOpzioni.position() < 0) return;
    m_dm.TableOpzioni.setValue(QStringLiteral("CartellaEsportazioneDocumenti"), QDir::toNativeSeparators(scelta));
}

void TfrmOpzioni::spdApriCartellaClick() {
    const QString cartella = DBEdit23->text().trimmed();
    if (cartella.isEmpty()) {
        ui::dialogs().message(this, QStringLiteral("Attenzione manca la Cartella di Lavoro"), kErrore,
                              ui::MessageIcon::Error);
        return;
    }
    if (!QFileInfo(cartella).isDir()) {
        ui::dialogs().message(this,
                              QStringLiteral("la Cartella: ") + cartella +
                                  QStringLiteral(" non esiste più o non è raggiungibile!!!"),
                              kErrore, ui::MessageIcon::Error);
        return;
    }
    ui::openOnDesktop(this, QUrl::fromLocalFile(cartella));
}

bool TfrmOpzioni::haLogo() { return DBImage1->hasPicture(); }

void TfrmOpzioni::btnCaricaClick() {
    const QString file = ui::dialogs().openFile(this, QStringLiteral("Carica immagine.."),
                                                m_dm.cartellaProgramma, QString::fromLatin1(kFiltroLogo));
    if (!file.isEmpty()) caricaLogo(file);
}

bool TfrmOpzioni::caricaLogo(const QString& file) {
    // The extension names the reader; "jpeg" is read as "jpg".
    const QString ext = estensione(file);
    const bool noto = ext == u"bmp" || ext == u"jpg" || ext == u"png";
    QImageReader reader(file, noto ? ext.toLatin1() : QByteArray());
    const QSize size = reader.size();
    const bool grande = size.isValid() && (size.width() > kLatoMassimoLogo || size.height() > kLatoMassimoLogo);
    if (grande) reader.setScaledSize(size.scaled(kLatoMassimoLogo, kLatoMassimoLogo, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull()) {
        ui::dialogs().message(this,
                              QStringLiteral("Impossibile leggere l'immagine ") + QDir::toNativeSeparators(file) +
                                  QStringLiteral(":\n") + reader.errorString(),
                              kErrore, ui::MessageIcon::Error);
        return false;
    }
    if (ext == u"bmp" && !grande) {
        // A bitmap is stored as the file holds it.
        QFile f(file);
        if (f.open(QIODevice::ReadOnly)) {
            DBImage1->setPictureData(f.readAll());
            return true;
        }
    }
    DBImage1->setPicture(riduci(image), "BMP");
    return true;
}

void TfrmOpzioni::btnAcquisisciClick() {
    const QImage image = acquireImage(this);
    if (image.isNull()) return;
    DBImage1->setPicture(riduci(image), "BMP");
}

void TfrmOpzioni::btnSalvaImmagineClick() {
    if (!haLogo()) return;
    const QString file = m_dm.SavePictureDialog(this);
    if (file.isEmpty()) return;
    QImageWriter writer(file, estensione(file) == u"jpg" ? "jpg" : "bmp");
    if (!writer.write(DBImage1->picture()))
        ui::dialogs().message(this,
                              QStringLiteral("Impossibile salvare l'immagine ") + QDir::toNativeSeparators(file) +
                                  QStringLiteral(":\n") + writer.errorString(),
                              kErrore, ui::MessageIcon::Error);
}

void TfrmOpzioni::btnCancellaClick() { DBImage1->clearPicture(); }

QString TfrmOpzioni::fileLogo() {
    return QDir(common::homeFolder()).filePath(QStringLiteral("LogoVastrel.bmp"));
}

void TfrmOpzioni::btnModificaLogoClick() {
    if (!haLogo()) return;
    const QString file = fileLogo();
    QImageWriter writer(file, "bmp");
    if (!writer.write(DBImage1->picture())) {
        ui::dialogs().message(this,
                              QStringLiteral("Impossibile scrivere il logo in ") + QDir::toNativeSeparators(file) +
                                  QStringLiteral(":\n") + writer.errorString(),
                              kErrore, ui::MessageIcon::Error);
        return;
    }
    ui::openOnDesktop(this, QUrl::fromLocalFile(file));
}

bool TfrmOpzioni::spdSalvaClick() {
    db::Dataset& opzioni = m_dm.TableOpzioni;
    auto manca = [this](const QString& text, QWidget* box) {
        ui::dialogs().message(this, text, kErrore, ui::MessageIcon::Error);
        PageControl1->setCurrentWidget(tabEmail);
        box->setFocus(Qt::OtherFocusReason);
        return false;
    };
    if (DBCheckBox3->isChecked()) {
        if (DBEdit4->text().trimmed().isEmpty())
            return manca(QStringLiteral("Attenzione inserire l'Username di autenticazione del Server !"), DBEdit4);
        if (DBEdit5->text().isEmpty())
            return manca(QStringLiteral("Attenzione inserire la password di autenticazione del Server !"), DBEdit5);
    }
    // Options and company data are saved together or not at all.
    db::Transaction tx(m_dm.Connessione);
    if (opzioni.isOpen() && opzioni.position() >= 0) {
        const int tipo = cmbSmtpCriptaggioTipo->currentIndex();
        opzioni.setValue(QStringLiteral("SmtpCriptaggioTipo"), tipo >= 0 ? QVariant(tipo) : QVariant());
        common::SalvaRecord(opzioni, QStringLiteral("ID"));
    }
    if (m_dm.TableDitta.isOpen() && m_dm.TableDitta.position() >= 0)
        common::SalvaRecord(m_dm.TableDitta, QStringLiteral("ID"));
    tx.commit();
    return true;
}

void TfrmOpzioni::spdIndietroClick() {
    if (spdSalvaClick()) accept();
}

void TfrmOpzioni::reject() { spdIndietroClick(); }

void TfrmOpzioni::spdHelpClick() { ui::help().showHelp(this); }
