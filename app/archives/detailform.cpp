#include "app/archives/detailform.h"

#include "app/shell/form_db.h"
#include "common/controls/dbedits.h"
#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "common/controls/help.h"
#include "common/controls/icons.h"
#include "common/controls/toolbutton.h"
#include "common/records.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
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
    auto* bar = m_bar = new QHBoxLayout;
    bar->setSpacing(2);
    spdAnnulla = addTool(bar, QStringLiteral("spdAnnulla"), QStringLiteral("Annulla"),
                         QStringLiteral("Torna indietro senza salvare"), QStringLiteral("edit-undo"));
    spdSalva = addTool(bar, QStringLiteral("spdSalva"), QStringLiteral("salva"), QString(),
                       QStringLiteral("document-save"));
    bar->addStretch(1);
    spdHelp = addTool(bar, QStringLiteral("spdHelp"), QStringLiteral("Aiuto"), QString(),
                      QStringLiteral("help-contents"));
    spdIndietro = addTool(bar, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"), QString(),
                          QStringLiteral("go-previous"));
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
    if (m_d.pages.isEmpty()) {
        m_fields = new QFormLayout;
        m_fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        m_body->addLayout(m_fields);
    } else {
        m_tabs = new QTabWidget(this);
        m_tabs->setObjectName(QStringLiteral("PageControl1"));
        for (int i = 0; i < m_d.pages.size(); ++i) {
            auto* page = new QWidget(m_tabs);
            page->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
            // Two columns of label + control, each with rows of its own height.
            auto* body = new QVBoxLayout(page);
            auto* columns = new QHBoxLayout;
            columns->setSpacing(24);
            body->addLayout(columns);
            // Each column a widget of its own: Tab and Enter go down a column before the next.
            for (int c = 0; c < 2; ++c) {
                auto* column = new QWidget(page);
                column->setObjectName(QStringLiteral("Colonna%1_%2").arg(i + 1).arg(c + 1));
                auto* grid = new QGridLayout(column);
                grid->setContentsMargins(0, 0, 0, 0);
                grid->setColumnStretch(1, 1);
                columns->addWidget(column, 1);
                m_pageGrids << grid;
            }
            m_tabs->addTab(page, m_d.pages[i]);
        }
        connect(m_tabs, &QTabWidget::currentChanged, this, [this](int i) { onPageChanged(i); });
        m_body->addWidget(m_tabs, 1);
    }
    top->addLayout(m_body, 1);

    for (const DetailField& f : m_d.fields) {
        QGridLayout* grid = m_pageGrids.value(f.page * 2 + (f.column > 0 ? 1 : 0));
        QWidget* page = !m_tabs ? this : grid ? grid->parentWidget() : pagina(f.page);
        QWidget* w = creaCampo(f, m_d.query, page);
        w->setObjectName(f.control);
        if (f.width > 0) w->setFixedWidth(f.width);
        posiziona(f, w);
        m_controls.insert(f.control, w);
    }
    // Rows of a page start at its top; what a member adds to the page goes below them.
    for (QGridLayout* grid : m_pageGrids) grid->setRowStretch(grid->rowCount(), 1);
    for (int i = 0; m_tabs && i < m_tabs->count(); ++i) {
        const bool campi = m_nextRow.contains(qint64(i) * 2) || m_nextRow.contains(qint64(i) * 2 + 1);
        if (campi) static_cast<QVBoxLayout*>(pagina(i)->layout())->addStretch(1);
        // A page without fields (a list of the record's rows) is all the member's.
        else
            for (int c = 0; c < 2; ++c) m_pageGrids[i * 2 + c]->parentWidget()->hide();
    }

    auto* conventions = ui::FormConventions::install(this);
    conventions->setModifiedCallback([this](QWidget* control) { controlloModificato(control); });
}

void ArchiveDetailForm::controlloModificato(QWidget*) { Modificato = true; }

// A minimum width of the window's own would replace the one its layout computes, and a
// record with two wide columns (the client's) would open with its right column cut off.
QSize ArchiveDetailForm::sizeHint() const { return QDialog::sizeHint().expandedTo(QSize(460, 0)); }

QToolButton* ArchiveDetailForm::aggiungiPulsante(const QString& name, const QString& caption,
                                                 const QString& hint) {
    const bool stampa = caption.startsWith(QStringLiteral("Stampa"), Qt::CaseInsensitive);
    QToolButton* b = ui::toolButton(this, name, caption,
                                    stampa ? QStringLiteral("document-print") : QStringLiteral("view-list-details"), hint);
    m_bar->insertWidget(m_bar->indexOf(spdHelp), b);
    return b;
}

ArchiveDetailForm::~ArchiveDetailForm() = default;

QToolButton* ArchiveDetailForm::addTool(QHBoxLayout* bar, const QString& name, const QString& caption,
                                        const QString& hint, const QString& icon) {
    QToolButton* b = ui::toolButton(this, name, caption, icon, hint);
    bar->addWidget(b);
    return b;
}

void ArchiveDetailForm::posiziona(const DetailField& f, QWidget* w) {
    QLabel* label = nullptr;
    if (f.kind != DetailField::Check) {
        label = new QLabel(f.label, w->parentWidget());
        label->setBuddy(w);
    }
    // A look-up's buttons, or the field's own button, sit at its right.
    QWidget* field = w;
    if (!f.showButton.isEmpty() || !f.addButton.isEmpty() || !f.button.isEmpty()) {
        field = new QWidget(w->parentWidget());
        auto* row = new QHBoxLayout(field);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(2);
        w->setParent(field);
        row->addWidget(w, 1);
        auto piccolo = [field](const QString& name, const char* icon, const QString& hint) {
            auto* b = new QToolButton(field);
            b->setObjectName(name);
            b->setIcon(ui::themeIcon(QString::fromLatin1(icon)));
            b->setToolTip(hint);
            b->setAutoRaise(true);
            b->setFocusPolicy(Qt::NoFocus);
            return b;
        };
        if (!f.showButton.isEmpty())
            row->addWidget(piccolo(f.showButton, "document-preview", QStringLiteral("Mostra")));
        if (!f.addButton.isEmpty())
            row->addWidget(piccolo(f.addButton, "list-add", QStringLiteral("Aggiungi")));
        if (!f.button.isEmpty()) {
            auto* b = new QPushButton(f.buttonCaption, field);
            b->setObjectName(f.button);
            b->setFocusPolicy(Qt::NoFocus);
            row->addWidget(b);
        }
    }
    if (!m_tabs) {
        if (label) m_fields->addRow(label, field);
        else m_fields->addRow(QString(), field);
        return;
    }
    const qint64 slot = qint64(f.page) * 2 + (f.column > 0 ? 1 : 0);
    QGridLayout* grid = m_pageGrids.value(int(slot));
    if (!grid) return;
    const int row = m_nextRow.value(slot, 0);
    m_nextRow.insert(slot, row + 1);
    if (label) grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    if (f.width > 0 && field != w) w->setFixedWidth(f.width); // the buttons follow the box
    grid->addWidget(field, row, 1, f.width > 0 ? Qt::AlignLeft : Qt::Alignment());
}

QWidget* ArchiveDetailForm::pagina(int index) const {
    return m_tabs ? m_tabs->widget(index) : nullptr;
}

const DetailField* ArchiveDetailForm::campo(const QString& controlName) const {
    for (const DetailField& f : m_d.fields)
        if (f.control == controlName) return &f;
    return nullptr;
}

QString ArchiveDetailForm::testo(const QString& controlName) const {
    QWidget* w = control(controlName);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) return memo->toPlainText();
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
    return {};
}

bool ArchiveDetailForm::manca(const RequiredField& r) {
    const DetailField* f = campo(r.control);
    if (!f) return testo(r.control).trimmed().isEmpty(); // a member's own control
    db::Dataset& q = query();
    if (!q.isOpen() || q.isEmpty()) return true;
    // What is typed but not yet in the row counts; a text that does not read throws here.
    q.updateRecord();
    const QVariant v = q.value(f->field);
    if (!v.isValid() || v.isNull()) return true;
    switch (f->kind) {
    case DetailField::Check:
        return false;
    case DetailField::List:
        return !f->items.contains(v.toString());
    case DetailField::Lookup: {
        auto* combo = qobject_cast<ui::DBLookupComboBox*>(control(r.control));
        return !combo || combo->listRow() < 0; // a key the list no longer holds shows nothing
    }
    default:
        return v.toString().trimmed().isEmpty();
    }
}

void ArchiveDetailForm::mostraPagina(int index) {
    if (!m_tabs || m_tabs->currentIndex() == index) return;
    m_switching = true;
    m_tabs->setCurrentIndex(index);
    m_page = index;
    m_switching = false;
}

void ArchiveDetailForm::segnala(const RequiredField& r, bool segnaErrore) {
    ui::dialogs().message(this, r.message, r.caption, ui::MessageIcon::Warning);
    if (segnaErrore) Errore = true;
    QWidget* w = control(r.control);
    if (!w) return;
    if (m_tabs)
        for (int i = 0; i < m_tabs->count(); ++i)
            if (m_tabs->widget(i)->isAncestorOf(w)) mostraPagina(i);
    w->setFocus(Qt::OtherFocusReason);
}

bool ArchiveDetailForm::controlla(bool segnaErrore) {
    for (const RequiredField& r : m_d.required) {
        bool missing = true;
        try {
            missing = manca(r);
        } catch (const db::DatabaseError&) {
            // The control has put the focus back on the unreadable text and reported it.
            if (segnaErrore) Errore = true;
            return false;
        }
        if (!missing) continue;
        segnala(r, segnaErrore);
        return false;
    }
    return true;
}

void ArchiveDetailForm::salva() { common::SalvaRecord(query(), m_d.key); }

void ArchiveDetailForm::salvaModifiche() {
    {
        db::Transaction tx(*query().connection());
        salva();
        salvaFigli();
        tx.commit();
    }
    Modificato = false;
    salvato();
}

void ArchiveDetailForm::spdSalvaClick() {
    Errore = false;
    if (!controlla(true)) return;
    salvaModifiche();
}

void ArchiveDetailForm::spdIndietroClick() {
    if (Modificato) spdSalvaClick();
    if (Errore) return;
    // Nothing was typed: a row left in edit mode (a new record's emptied description) is
    // not written behind the user's back.
    if (query().isOpen() && query().state() == db::Dataset::State::Edit) query().cancel();
    done(QDialog::Accepted);
}

void ArchiveDetailForm::annulla() {
    eliminaFigli();
    common::EliminaRecord(query(), m_d.key);
}

void ArchiveDetailForm::spdAnnullaClick() {
    if (!ui::dialogs().question(this, QStringLiteral("Sei sicuro di voler annullare l'inserimento ?"),
                                QStringLiteral("Messaggio di avviso")))
        return;
    // What was typed goes with the record: an unreadable text must not stop the deletion.
    query().cancel();
    db::Transaction tx(*query().connection());
    annulla();
    tx.commit();
    Modificato = false;
    Errore = false;
    done(QDialog::Rejected);
}

bool ArchiveDetailForm::cambioPagina(int index) {
    if (index == 0) return true;
    if (!controlla(false)) return false;
    if (Modificato) salvaModifiche();
    return true;
}

void ArchiveDetailForm::onPageChanged(int index) {
    if (m_switching) return;
    bool ok = false;
    try {
        ok = cambioPagina(index);
    } catch (...) {
        mostraPagina(m_page);
        throw;
    }
    if (ok) m_page = index;
    else if (m_tabs->currentIndex() == index) mostraPagina(m_page);
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
    if (m_tabs) mostraPagina(0);
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
