#include "export/form1.h"

#include "common/controls/dialogs.h"
#include "common/controls/icons.h"
#include "common/filterclause.h"
#include "common/paths.h"
#include "db/error.h"
#include "export/definizioni.h"
#include "export/form_db.h"
#include "export/frmcerca.h"
#include "export/frmfiltri.h"
#include "export/scrittura.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace esportazioni {

namespace {

QPushButton* bottone(QWidget* parent, const char* nome, const QString& testo, const char* icona) {
    auto* b = new QPushButton(ui::themeIcon(QString::fromLatin1(icona)), testo, parent);
    b->setObjectName(QLatin1String(nome));
    b->setMinimumWidth(110);
    b->setAutoDefault(false);
    return b;
}

const QString Avviso = QStringLiteral("Messaggio di Avviso");

} // namespace

TForm1::TForm1(Tform_DB& dm, QWidget* parent) : QWidget(parent), m_dm(dm) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Esportazioni"));

    DBLookupComboBox1 = new QComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setMinimumWidth(260);
    DBLookupComboBox1->setMaxVisibleItems(20);
    DBLookupComboBox1->installEventFilter(this);
    txtNomeEsportazione = new QLineEdit(this);
    txtNomeEsportazione->setObjectName(QStringLiteral("txtNomeEsportazione"));
    txtNomeEsportazione->setMaxLength(100); // DatiReportTestata.NomeReport
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    BitBtn1 = bottone(this, "BitBtn1", QStringLiteral("Cerca"), "document-open");
    BitBtn2 = bottone(this, "BitBtn2", QStringLiteral("Salva"), "document-save");
    BitBtn3 = bottone(this, "BitBtn3", QStringLiteral("Reset"), "edit-clear");
    BitBtn4 = bottone(this, "BitBtn4", QStringLiteral("Esporta"), "document-export");
    btnHelp = bottone(this, "btnHelp", QStringLiteral("Aiuto"), "help-contents");
    btnEsci = bottone(this, "btnEsci", QStringLiteral("Esci"), "application-exit");

    auto* intestazione = new QFormLayout;
    intestazione->addRow(QStringLiteral("Tabella"), DBLookupComboBox1);
    intestazione->addRow(QStringLiteral("Nome esportazione"), txtNomeEsportazione);
    auto* campi = new QGroupBox(QStringLiteral("Campi"), this);
    auto* campiLayout = new QVBoxLayout(campi);
    campiLayout->addWidget(CheckListBox1);
    auto* bottoni = new QVBoxLayout;
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4}) bottoni->addWidget(b);
    bottoni->addStretch(1);
    bottoni->addWidget(btnHelp);
    bottoni->addWidget(btnEsci);
    auto* centro = new QHBoxLayout;
    centro->addWidget(campi, 1);
    centro->addLayout(bottoni);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(intestazione);
    layout->addLayout(centro, 1);
    resize(560, 480);

    frmCerca = new TfrmCerca(dm, this);
    frmCerca->setWindowFlag(Qt::Dialog);
    frmFiltri = new TfrmFiltri(dm, this);
    frmFiltri->setWindowFlag(Qt::Dialog);

    connect(DBLookupComboBox1, &QComboBox::currentIndexChanged, this,
            &TForm1::DBLookupComboBox1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(btnHelp, &QPushButton::clicked, this, &TForm1::btnHelpClick);
    connect(btnEsci, &QPushButton::clicked, this, &TForm1::btnEsciClick);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &TForm1::btnHelpClick);
}

TForm1::~TForm1() = default;

void TForm1::avviso(const QString& testo) {
    ui::dialogs().message(this, testo, Avviso, ui::MessageIcon::Warning);
}

void TForm1::errore(const QString& testo) {
    ui::dialogs().message(this, testo, QStringLiteral("Messaggio di errore"),
                          ui::MessageIcon::Error);
}

bool TForm1::FormActivate() {
    if (m_avviato) return true;
    try {
        const QString home = common::homeFolder();
        if (!QFileInfo::exists(QDir(home).filePath(common::PercorsoFileName.toString()))) {
            ui::dialogs().message(this,
                                  QStringLiteral("Attenzione E' assente il file di configurazione "
                                                 "percorso.txt, prego lanciare Vastrel per ricrearlo"),
                                  QStringLiteral("Messaggio di avviso"), ui::MessageIcon::Warning);
            return false;
        }
        // Read from the home folder, as every program does, not from wherever we were started.
        const common::DatabaseLocation dove = common::locateDatabase(home, false);
        percorsoHelp =
            QDir(common::programFolder()).absoluteFilePath(QStringLiteral("help/esportazioni.html"));
        if (!QFileInfo::exists(percorsoHelp))
            ui::dialogs().message(this, QStringLiteral("File di Help non Trovato\n") + percorsoHelp,
                                  QStringLiteral("Messaggio di avviso"));
        m_dm.apri(dove.path);
        caricaSorgenti();
    } catch (const db::DatabaseError& e) {
        errore(e.text());
        return false;
    }
    m_avviato = true;
    return true;
}

void TForm1::caricaSorgenti() {
    db::Dataset& t = m_dm.TableQueryCreazioneStampe;
    const QSignalBlocker b(DBLookupComboBox1);
    DBLookupComboBox1->clear();
    m_query.clear();
    const int descr = t.fieldIndex(QStringLiteral("Descrizione"));
    const int query = t.fieldIndex(QStringLiteral("Query"));
    for (int r = 0; r < t.recordCount(); ++r) {
        DBLookupComboBox1->addItem(t.valueAt(r, descr).toString());
        m_query.append(t.valueAt(r, query).toString());
    }
    DBLookupComboBox1->setCurrentIndex(-1);
}

void TForm1::DBLookupComboBox1Click() {
    CheckListBox1->clear();
    querySorgente.clear();
    const int i = DBLookupComboBox1->currentIndex();
    if (i < 0 || i >= m_query.size()) return;
    querySorgente = m_query[i];
    QStringList colonne;
    try {
        colonne = common::filterableColumns(m_dm.Connessione, querySorgente);
    } catch (const db::DatabaseError& e) {
        errore(QStringLiteral("La tabella \"%1\" non si apre:\n%2")
                   .arg(DBLookupComboBox1->currentText(), e.text()));
        return;
    }
    for (const QString& c : colonne) {
        auto* item = new QListWidgetItem(c, CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBLookupComboBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
            DBLookupComboBox1->setCurrentIndex(-1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::BitBtn2Click() {
    const QString nome = txtNomeEsportazione->text().trimmed();
    if (nome.isEmpty()) {
        avviso(QStringLiteral("Attenzione manca il nome dell'esportazione !"));
        txtNomeEsportazione->setFocus();
        return;
    }
    if (DBLookupComboBox1->currentIndex() < 0) {
        avviso(QStringLiteral("Attenzione manca il nome della tabella !"));
        DBLookupComboBox1->setFocus();
        return;
    }
    QList<int> posizioni;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked) posizioni.append(i);
    try {
        idEsportazione = salvaDefinizione(m_dm.Connessione, nome,
                                          DBLookupComboBox1->currentText(), posizioni);
    } catch (const db::DatabaseError& e) {
        errore(e.text());
        return;
    }
    esportazioneCaricata = true;
    avviso(QStringLiteral("Salvataggio avvenuto con successo !"));
}

void TForm1::BitBtn1Click() {
    db::Dataset& t = m_dm.TableDatiReportTestata;
    try {
        if (t.isOpen()) t.requery();
        else t.open();
    } catch (const db::DatabaseError& e) {
        errore(e.text());
        return;
    }
    if (t.isEmpty()) {
        avviso(QStringLiteral("non sono presenti records in archivio !"));
        return;
    }
    if (t.recordCount() > 1) {
        if (ui::dialogs().exec(frmCerca) != QDialog::Accepted || t.isEmpty()) return;
    } else {
        t.first();
    }
    caricaDefinizione(t.keyValue(QStringLiteral("ID")));
}

void TForm1::caricaDefinizione(long long id) {
    Definizione d;
    try {
        d = leggiDefinizione(m_dm.Connessione, id);
    } catch (const db::DatabaseError& e) {
        errore(e.text());
        return;
    }
    if (d.id == 0) return;
    txtNomeEsportazione->setText(d.nome);
    idEsportazione = d.id;
    esportazioneCaricata = true;
    if (d.tabella) {
        const int i = DBLookupComboBox1->findText(*d.tabella, Qt::MatchExactly);
        {
            const QSignalBlocker b(DBLookupComboBox1);
            DBLookupComboBox1->setCurrentIndex(i);
        }
        DBLookupComboBox1Click();
        if (i < 0) {
            avviso(QStringLiteral("Attenzione la tabella \"%1\" dell'esportazione \"%2\" non è più "
                                  "presente !").arg(*d.tabella, d.nome));
            return;
        }
    }
    if (d.campi) {
        const Posizioni p = leggiPosizioni(*d.campi, CheckListBox1->count());
        for (int i : p.valide) CheckListBox1->item(i)->setCheckState(Qt::Checked);
        if (!p.scartate.isEmpty())
            avviso(QStringLiteral("Attenzione alcuni campi dell'esportazione \"%1\" non sono più "
                                  "presenti nella tabella e non sono stati selezionati "
                                  "(posizioni: %2) !").arg(d.nome, p.scartate.join(QStringLiteral(", "))));
    }
}

void TForm1::BitBtn3Click() {
    txtNomeEsportazione->clear();
    {
        const QSignalBlocker b(DBLookupComboBox1);
        DBLookupComboBox1->setCurrentIndex(-1);
    }
    CheckListBox1->clear();
    querySorgente.clear();
    idEsportazione = 0;
    esportazioneCaricata = false;
    filtro.clear();
}

void TForm1::BitBtn4Click() {
    filtro.clear();
    QStringList spuntati, tutti;
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        tutti.append(CheckListBox1->item(i)->text());
        if (CheckListBox1->item(i)->checkState() == Qt::Checked)
            spuntati.append(CheckListBox1->item(i)->text());
    }
    if (spuntati.isEmpty()) {
        avviso(QStringLiteral("seleziona i campi da esportare !"));
        return;
    }
    frmFiltri->Pulisci(tutti, querySorgente);
    ui::dialogs().exec(frmFiltri);
    filtro = frmFiltri->clausola();

    try {
        Esportazione e(m_dm.Connessione,
                       QStringLiteral("Select * from (") + querySorgente + u')' + filtro, spuntati);
        if (e.vuota()) {
            avviso(QStringLiteral("recordset vuoto !"));
            return;
        }
        QString filtri = QStringLiteral("Files csv (*.csv)");
        if (xlsxDisponibile()) filtri += QStringLiteral(";;Cartella di lavoro Excel (*.xlsx)");
        const QString proposta =
            QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                .filePath(QStringLiteral("Esportazione.csv"));
        QString filtroScelto;
        const QString scelto = ui::dialogs().saveFile(this, QStringLiteral("Esporta"), proposta,
                                                      filtri, &filtroScelto);
        if (scelto.isEmpty()) return;
        const bool xlsx = xlsxDisponibile() &&
                          (filtroScelto.contains(QStringLiteral("xlsx")) ||
                           scelto.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive));
        const Formato formato = xlsx ? Formato::Xlsx : Formato::Csv;
        const QString file = nomeFileUscita(scelto, formato);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            e.scrivi(file, formato);
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        ultimoFile = file;
    } catch (const ErroreFile& e) {
        errore(e.testo());
    } catch (const db::DatabaseError& e) {
        errore(e.text());
    }
}

void TForm1::btnHelpClick() {
    if (!QFileInfo::exists(percorsoHelp)) {
        ui::dialogs().message(this, QStringLiteral("File di Help non Trovato\n") + percorsoHelp,
                              QStringLiteral("Messaggio di avviso"));
        return;
    }
    if (!m_aiuto) {
        m_aiuto = new QTextBrowser(this);
        m_aiuto->setObjectName(QStringLiteral("Aiuto"));
        m_aiuto->setWindowFlag(Qt::Window);
        m_aiuto->setWindowTitle(QStringLiteral("Esportazioni - Aiuto"));
        m_aiuto->resize(560, 480);
    }
    m_aiuto->setSource(QUrl::fromLocalFile(percorsoHelp));
    m_aiuto->show();
    m_aiuto->raise();
}

void TForm1::btnEsciClick() {
    m_dm.chiudi();
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_aiuto) m_aiuto->close();
    QWidget::closeEvent(event);
}

} // namespace esportazioni
