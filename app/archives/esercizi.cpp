#include "app/archives/esercizi.h"

#include "app/archives/immagini.h"
#include "app/archives/members.h"
#include "app/shell/form_db.h"
#include "common/controls/dbedits.h"
#include "common/controls/dialogs.h"
#include "db/dataset.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/scanner/acquire.h"

namespace {

const QString kImmagine = QStringLiteral("Immagine");
const QString kGruppo = QStringLiteral("GruppoMuscolare_ID");

DetailDescriptor eserciziDett(Tform_DB& dm) {
    DetailDescriptor d;
    d.objectName = QStringLiteral("frmEserciziDett");
    d.caption = QStringLiteral("Esercizi");
    d.helpContext = 255;
    d.query = &dm.TableEsercizi;
    DetailField descrizione;
    descrizione.control = QStringLiteral("DBEdit1");
    descrizione.field = QStringLiteral("Descrizione");
    descrizione.label = QStringLiteral("Descrizione");
    DetailField istruzioni;
    istruzioni.control = QStringLiteral("DBEdit2");
    istruzioni.field = QStringLiteral("ModalitaUso");
    istruzioni.label = QStringLiteral("istruzioni");
    istruzioni.kind = DetailField::Memo;
    d.fields = {descrizione, istruzioni};
    d.required = {{QStringLiteral("DBEdit1"), QStringLiteral("Attenzione manca la descrizione"),
                   QStringLiteral("Messaggio di errore")}};
    return d;
}

QPushButton* pulsante(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TfrmEserciziDett::TfrmEserciziDett(Tform_DB& dm, TfrmGruppiMuscolariDett* gruppi, QWidget* parent)
    : ArchiveDetailForm(dm, eserciziDett(dm), parent), m_gruppi(gruppi) {
    acquisizione = [](QWidget* owner) { return acquireImage(owner); };
    auto* gruppo = new QWidget(this);
    auto* gruppoRow = new QHBoxLayout(gruppo);
    gruppoRow->setContentsMargins(0, 0, 0, 0);
    DBLookupComboBox1 = new ui::DBLookupComboBox(gruppo);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setListSource(&dm.TableGruppiMuscolari, QStringLiteral("Id"), QStringLiteral("Descrizione"));
    DBLookupComboBox1->setDataField(kGruppo);
    DBLookupComboBox1->setDataset(&dm.TableEsercizi);
    DBLookupComboBox1->setMinimumWidth(260);
    Button4 = pulsante(gruppo, "Button4", QStringLiteral("....."));
    Button4->setFixedWidth(40);
    gruppoRow->addWidget(DBLookupComboBox1);
    gruppoRow->addWidget(Button4);
    gruppoRow->addStretch(1);
    auto* gruppoLabel = new QLabel(QStringLiteral("Gr. muscolare"), this);
    gruppoLabel->setBuddy(DBLookupComboBox1);
    campi()->addRow(gruppoLabel, gruppo);

    auto* immagine = new QWidget(this);
    auto* immagineRow = new QHBoxLayout(immagine);
    immagineRow->setContentsMargins(0, 0, 0, 0);
    DBImage1 = new ui::DBImage(&dm.TableEsercizi, kImmagine, immagine);
    DBImage1->setObjectName(QStringLiteral("DBImage1"));
    DBImage1->setFixedSize(322, 242);
    immagineRow->addWidget(DBImage1);
    auto* comandi = new QVBoxLayout;
    Button9 = pulsante(immagine, "Button9", QStringLiteral("Cancella"));
    Button6 = pulsante(immagine, "Button6", QStringLiteral("Carica da File"));
    Button7 = pulsante(immagine, "Button7", QStringLiteral("Acquisisci"));
    Button8 = pulsante(immagine, "Button8", QStringLiteral("Salva come immagine"));
    Button1 = pulsante(immagine, "Button1", QStringLiteral("ridimensiona"));
    Button1->setVisible(false);
    for (QPushButton* b : {Button9, Button6, Button7, Button8, Button1}) comandi->addWidget(b);
    comandi->addStretch(1);
    immagineRow->addLayout(comandi);
    immagineRow->addStretch(1);
    auto* immagineLabel = new QLabel(kImmagine, this);
    immagineLabel->setBuddy(DBImage1);
    campi()->addRow(immagineLabel, immagine);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
    connect(Button9, &QPushButton::clicked, this, [this] { Button9Click(); });
    // Choosing or clearing a group reaches the modified flag through the form conventions.
    setMinimumWidth(640);
}

void TfrmEserciziDett::memorizza(const QImage& picture) {
    if (query().position() < 0) return;
    DBImage1->setPictureData(immagini::codifica(picture));
    segnaModificato();
}

void TfrmEserciziDett::Button9Click() {
    if (query().position() < 0) return;
    DBImage1->clearPicture();
    segnaModificato();
}

void TfrmEserciziDett::Button6Click() {
    const QString path = m_dm.OpenPictureDialog(this);
    if (path.isEmpty()) return;
    QString errore;
    const QImage picture = immagini::caricaInScatola(path, DBImage1->targetSize(), &errore);
    if (picture.isNull()) {
        ui::dialogs().message(this, errore, QStringLiteral("Messaggio di errore"), ui::MessageIcon::Error);
        return;
    }
    memorizza(picture);
}

void TfrmEserciziDett::Button7Click() {
    if (!acquisizione) return;
    const QImage acquired = acquisizione(this);
    if (acquired.isNull()) return; // no device, cancelled or failed: nothing changes
    const QImage picture = immagini::adattaAllaScatola(acquired, DBImage1->targetSize());
    if (!picture.isNull()) memorizza(picture);
}

void TfrmEserciziDett::Button8Click() {
    if (query().position() < 0 || query().isNull(kImmagine)) return;
    const QByteArray bytes = query().value(kImmagine).toByteArray();
    if (bytes.isEmpty()) return;
    const QImage picture = QImage::fromData(bytes);
    if (picture.isNull()) return;
    const QString path = m_dm.SavePictureDialog(this);
    if (path.isEmpty()) return;
    if (!immagini::salva(picture, path))
        ui::dialogs().message(this, QStringLiteral("Impossibile salvare l'immagine nel file:\n") + path,
                              QStringLiteral("Messaggio di errore"), ui::MessageIcon::Error);
}

void TfrmEserciziDett::Button1Click() {
    db::Dataset& q = query();
    if (q.isEmpty()) return;
    const QSize box = DBImage1->targetSize();
    const long long current = q.keyValue(QStringLiteral("Id"));
    for (q.first(); !q.eof(); q.next()) {
        // An exercise without a picture keeps none (no blank picture is made for it).
        if (q.isNull(kImmagine)) continue;
        const QImage picture = QImage::fromData(q.value(kImmagine).toByteArray());
        if (picture.isNull()) continue;
        q.setValue(kImmagine, immagini::codifica(
                                  picture.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        q.post();
    }
    if (current > 0) q.locate(QStringLiteral("Id"), current);
}

void TfrmEserciziDett::Button4Click() {
    if (!m_gruppi || query().position() < 0) return;
    db::Dataset& gruppi = m_dm.TableGruppiMuscolari;
    const QVariant key = query().value(kGruppo);
    // Without a group of its own the exercise would open an unrelated group.
    if (key.isNull() || key.toLongLong() <= 0 || !gruppi.locate(QStringLiteral("Id"), key)) {
        ui::dialogs().message(this, QStringLiteral("L'esercizio non ha un gruppo muscolare da modificare"),
                              QStringLiteral("Messaggio di avviso"), ui::MessageIcon::Information);
        return;
    }
    ui::dialogs().exec(m_gruppi);
    gruppi.requery();
    DBLookupComboBox1->refresh();
}
