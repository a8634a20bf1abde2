#include "app/archives/detailform.h"

#include "app/shell/form_db.h"
#include "common/controls/dbedits.h"
#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "common/controls/help.h"
#include "common/controls/toolbutton.h"
#include "common/records.h"
#include "db/dataset.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

ArchiveDetailForm::ArchiveDetailForm(Tform_DB& dm, DetailDescriptor descriptor, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_d(std::move(descriptor)) {
    setObjectName(m_d.objectName);
    setWindowTitle(m_d.caption);
    // Title bar with the help button only: the window is left through its own buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowContextHelpButtonHint);
    if (m_d.helpContext > 0) ui::HelpService::setHelpContext(this, m_d.helpContext);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(8, 6, 8, 10);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    spdAnnulla = addTool(bar, QStringLiteral("spdAnnulla"), QStringLiteral("Annulla"),
                         QStringLiteral("Torna indietro senza salvare"), QStyle::SP_DialogCancelButton);
    spdSalva = addTool(bar, QStringLiteral("spdSalva"), QStringLiteral("salva"), QString(),
                       QStyle::SP_DialogSaveButton);
    bar->addStretch(1);
    spdHelp = addTool(bar, QStringLiteral("spdHelp"), QStringLiteral("Aiuto"), QString(),
                      QStyle::SP_DialogHelpButton);
    spdIndietro = addTool(bar, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"), QString(),
                          QStyle::SP_ArrowBack);
    spdAnnulla->setVisible(false);
    spdSalva->setVisible(false);
    connect(spdAnnulla, &QToolButton::clicked, this, [this] { spdAnnullaClick(); });
    connect(spdSalva, &QToolButton::clicked, this, [this] { spdSalvaClick(); });
    connect(spdHelp, &QToolButton::clicked, this, [this] { spdHelpClick(); });
    connect(spdIndietro, &QToolButton::clicked, this, [this] { spdIndietroClick(); });
    top->addLayout(bar);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    top->addWidget(line);

    m_body = new QVBoxLayout;
    m_fields = new QFormLayout;
    m_fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_body->addLayout(m_fields);
    top->addLayout(m_body, 1);

    for (const DetailField& f : m_d.fields) {
        QWidget* w = nullptr;
        if (f.kind == DetailField::Memo) {
            auto* memo = new ui::DBMemo(m_d.query, f.field, this);
            memo->setMinimumHeight(90);
            w = memo;
        } else {
            w = new ui::DBEdit(m_d.query, f.field, this);
        }
        w->setObjectName(f.control);
        if (f.width > 0) w->setFixedWidth(f.width);
        if (f.amount) ui::FormConventions::setAmount(w);
        auto* label = new QLabel(f.label, this);
        label->setBuddy(w);
        m_fields->addRow(label, w);
        m_controls.insert(f.control, w);
    }
    setMinimumWidth(460);

    auto* conventions = ui::FormConventions::install(this);
    conventions->setModifiedCallback([this](QWidget*) { Modificato = true; });
}

ArchiveDetailForm::~ArchiveDetailForm() = default;

QToolButton* ArchiveDetailForm::addTool(QHBoxLayout* bar, const QString& name, const QString& caption,
                                        const QString& hint, int icon) {
    QToolButton* b = ui::toolButton(this, name, caption, QStyle::StandardPixmap(icon), hint);
    bar->addWidget(b);
    return b;
}

QString ArchiveDetailForm::testo(const QString& controlName) const {
    QWidget* w = control(controlName);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) return memo->toPlainText();
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
    return {};
}

void ArchiveDetailForm::spdSalvaClick() {
    Errore = false;
    for (const RequiredField& r : m_d.required) {
        if (!testo(r.control).isEmpty()) continue;
        ui::dialogs().message(this, r.message, r.caption, ui::MessageIcon::Warning);
        Errore = true;
        if (QWidget* w = control(r.control)) w->setFocus(Qt::OtherFocusReason);
        return;
    }
    common::SalvaRecord(query(), m_d.key);
    Modificato = false;
}

void ArchiveDetailForm::spdIndietroClick() {
    if (Modificato) spdSalvaClick();
    if (Errore) return;
    // Nothing was typed: a row left in edit mode (a new record's emptied description) is
    // not written behind the user's back.
    if (query().isOpen() && query().state() == db::Dataset::State::Edit) query().cancel();
    done(QDialog::Accepted);
}

void ArchiveDetailForm::spdAnnullaClick() {
    if (!ui::dialogs().question(this, QStringLiteral("Sei sicuro di voler annullare l'inserimento ?"),
                                QStringLiteral("Messaggio di avviso")))
        return;
    Modificato = false;
    Errore = false;
    // What was typed goes with the record: an unreadable text must not stop the deletion.
    query().cancel();
    common::EliminaRecord(query(), m_d.key);
    done(QDialog::Rejected);
}

void ArchiveDetailForm::spdHelpClick() { ui::help().showHelp(this); }

bool ArchiveDetailForm::event(QEvent* event) {
    // The title bar's "?" opens the window's help page.
    if (event->type() == QEvent::EnterWhatsThisMode) {
        QWhatsThis::leaveWhatsThisMode();
        spdHelpClick();
        return true;
    }
    return QDialog::event(event);
}

void ArchiveDetailForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    // A failed check of an earlier opening must not hold this one open.
    Errore = false;
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void ArchiveDetailForm::closeEvent(QCloseEvent* event) { event->ignore(); }

void ArchiveDetailForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ArchiveDetailForm::reject() {}
