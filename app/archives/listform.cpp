#include "app/archives/listform.h"

#include "app/archives/detailform.h"
#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "common/controls/help.h"
#include "common/controls/toolbutton.h"
#include "common/personalizzazioni.h"
#include "common/records.h"
#include "common/text.h"
#include "db/dataset.h"
#include "db/values.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

namespace {

const QString kAvviso = QStringLiteral("Messaggio di avviso");

// A column name as filter and sort texts accept it: names such as "E%" need brackets.
QString nomeColonna(const QString& field) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(field).hasMatch() ? field : u'[' + field + u']';
}

// A number typed in a search box: "12,5" (the workstation's way) or "12.5", without
// thousands separators.
std::optional<double> leggiNumero(const QString& typed) {
    return db::readNumber(typed, db::Separators::NoGrouping);
}

// Restores a state on every way out of a scope, exceptions included.
template <class F>
struct Finally {
    F f;
    ~Finally() { f(); }
};
template <class F>
Finally(F) -> Finally<F>;

} // namespace

QString condizioneRicerca(const SearchBox& box, const QString& text) {
    if (text.isEmpty() || text == u"*") return {};
    const QString column = nomeColonna(box.column);
    if (box.numeric) {
        const std::optional<double> v = leggiNumero(text);
        if (!v) return {};
        return column + QStringLiteral(" = ") + QString::number(*v, 'g', 17);
    }
    return column + QStringLiteral(" like '") + common::QuotaFiltro(text) + QStringLiteral("*'");
}

ArchiveListForm::ArchiveListForm(Tform_DB& dm, ListDescriptor descriptor, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_d(std::move(descriptor)) {
    setObjectName(m_d.objectName);
    setWindowTitle(m_d.caption);
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint;
    flags |= m_d.pickerOnly ? Qt::CustomizeWindowHint
                            : Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                  Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    if (m_d.helpContext > 0) ui::HelpService::setHelpContext(this, m_d.helpContext);
    resize(1000, 640);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 6);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    if (!m_d.pickerOnly) {
        auto* help = addTool(bar, m_d.helpButton, QStringLiteral("Aiuto"), QString(),
                             QStyle::SP_DialogHelpButton);
        connect(help, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
        auto* aggiorna = addTool(bar, QStringLiteral("spdAggiorna"), QStringLiteral("Ricarica"),
                                 QStringLiteral("Aggiorna l'elenco"), QStyle::SP_BrowserReload);
        connect(aggiorna, &QToolButton::clicked, this, [this] { spdAggiornaClick(); });
    }
    spdIndietro = addTool(bar, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"), QString(),
                          QStyle::SP_ArrowBack);
    connect(spdIndietro, &QToolButton::clicked, this, [this] { spdIndietroClick(); });
    if (!m_d.pickerOnly) {
        auto* elimina = addTool(bar, QStringLiteral("spdElimina"), QStringLiteral("Elimina"),
                                QStringLiteral("Elimina il record corrente "), QStyle::SP_TrashIcon);
        connect(elimina, &QToolButton::clicked, this, [this] { spdEliminaClick(); });
        auto* inserisci = addTool(bar, QStringLiteral("spdInserisci"), QStringLiteral("Aggiungi"),
                                  QStringLiteral("Inserisce un nuovo Record"),
                                  QStyle::SP_FileDialogNewFolder);
        connect(inserisci, &QToolButton::clicked, this, [this] { spdInserisciClick(); });
        auto* avanti = addTool(bar, QStringLiteral("spdAvanti"), QStringLiteral("Avanti"), QString(),
                               QStyle::SP_ArrowForward);
        connect(avanti, &QToolButton::clicked, this, [this] { spdAvantiClick(); });
    }
    bar->addStretch(1);
    top->addLayout(bar);

    DBGrid1 = new ui::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataset(m_d.query);
    DBGrid1->setColumns(m_d.columns);
    top->addWidget(DBGrid1, 1);
    connect(DBGrid1, &ui::DBGrid::titleClicked, this,
            [this](int, const QString& field) { DBGrid1TitleClick(field); });
    connect(DBGrid1, &ui::DBGrid::dblClicked, this, [this] { DBGrid1DblClick(); });
    if (m_d.layoutMenu && !m_d.gridName.isEmpty())
        PopupMenu1 = ui::attachLayoutMenu(*DBGrid1, m_d.gridName, dm.TableGriglie, dm.nomeComputer,
                                          m_d.layoutNames);
    if (!m_d.gridName.isEmpty()) m_dm.griglie.insert(m_d.gridName, DBGrid1);

    buildSearch();
    top->addWidget(m_searchGroup);
    ui::FormConventions::install(this);
}

ArchiveListForm::~ArchiveListForm() {
    if (!m_d.gridName.isEmpty() && m_dm.griglie.value(m_d.gridName) == DBGrid1)
        m_dm.griglie.remove(m_d.gridName);
}

QToolButton* ArchiveListForm::addTool(QHBoxLayout* bar, const QString& name, const QString& caption,
                                      const QString& hint, int icon) {
    QToolButton* b = ui::toolButton(this, name, caption, QStyle::StandardPixmap(icon), hint);
    bar->addWidget(b);
    return b;
}

void ArchiveListForm::buildSearch() {
    m_searchGroup = new QGroupBox(m_d.searchCaption, this);
    m_searchGroup->setObjectName(QStringLiteral("GroupBox1"));
    QPalette pal = m_searchGroup->palette();
    pal.setColor(QPalette::Window, QColor(192, 220, 192)); // light green
    m_searchGroup->setPalette(pal);
    m_searchGroup->setAutoFillBackground(true);
    auto* grid = new QGridLayout(m_searchGroup);
    const int perRow = m_d.boxes.size() > 2 ? 3 : 2;
    int i = 0;
    for (const SearchBox& box : m_d.boxes) {
        auto* label = new QLabel(box.label, m_searchGroup);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        auto* edit = new QLineEdit(m_searchGroup);
        edit->setObjectName(box.name);
        edit->setMinimumWidth(160);
        label->setBuddy(edit);
        grid->addWidget(label, i / perRow, (i % perRow) * 2);
        grid->addWidget(edit, i / perRow, (i % perRow) * 2 + 1);
        if (box.refilters) connect(edit, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
        m_boxes.insert(box.name, edit);
        ++i;
    }
    grid->setColumnStretch(perRow * 2, 1);
}

int ArchiveListForm::mostra() {
    setWindowState(windowState() | Qt::WindowMaximized);
    return ui::dialogs().exec(this);
}

void ArchiveListForm::svuotaRicerca() {
    // Every box first, then one search: a box read only by the others' search (a numeric
    // box without its own handler) must not leave its condition behind.
    for (const SearchBox& box : m_d.boxes) {
        QLineEdit* edit = m_boxes.value(box.name);
        if (!edit) continue;
        const QSignalBlocker quiet(edit);
        edit->clear();
    }
    Edit1Change();
}

QString ArchiveListForm::filtroRicerca() const {
    QStringList parts;
    for (const SearchBox& box : m_d.boxes) {
        const QLineEdit* edit = m_boxes.value(box.name);
        const QString condition = condizioneRicerca(box, edit ? edit->text() : QString());
        if (!condition.isEmpty()) parts << condition;
    }
    return parts.join(QStringLiteral(" and "));
}

void ArchiveListForm::Edit1Change() {
    // One change of filter per keystroke: the grid is rebuilt once.
    query().setFiltered(true);
    query().setFilter(filtroRicerca());
}

void ArchiveListForm::DBGrid1TitleClick(const QString& field) {
    if (!m_d.titleSort || field.isEmpty()) return;
    // The toggle looks only at the current direction, whatever column it names.
    const QString current = query().sort();
    const bool ascending = !current.isEmpty() && current.right(3) == u"ASC";
    query().setSort(nomeColonna(field) + (ascending ? QStringLiteral(" DESC") : QStringLiteral(" ASC")));
}

void ArchiveListForm::DBGrid1DblClick() { spdAvantiClick(); }

void ArchiveListForm::spdAvantiClick() {
    if (m_d.pickable && scelta) {
        accept();
        return;
    }
    if (!m_detail || !query().isOpen() || query().recordCount() <= 0) return;
    ui::dialogs().exec(m_detail);
}

void ArchiveListForm::valoriPredefiniti() {
    for (const FieldDefault& d : m_d.defaults) query().setValue(d.field, d.value());
    if (!m_d.personalizzazioni.isEmpty())
        common::ApplicaPersonalizzazioni(m_d.personalizzazioni, query(), m_dm.TablePersonalizzazioni);
}

void ArchiveListForm::spdInserisciClick() {
    db::Dataset& q = query();
    const QString descrizione = QStringLiteral("Descrizione");
    q.setFilter(QString());
    q.append();
    try {
        valoriPredefiniti();
        if (m_d.blankDescription) q.setValue(descrizione, QStringLiteral(" "));
        common::SalvaRecord(q, m_d.key);
    } catch (...) {
        // A record that could not be created leaves no half-filled row behind.
        if (q.state() == db::Dataset::State::Insert) q.cancel();
        throw;
    }
    if (m_d.blankDescription) {
        q.edit();
        q.setValue(descrizione, QStringLiteral(""));
    }
    if (!m_detail) return;
    if (m_d.addSetsModified) m_detail->Modificato = true;
    if (m_d.addShowsAnnulla) m_detail->spdAnnulla->setVisible(true);
    Finally hide{[this] { m_detail->spdAnnulla->setVisible(false); }};
    ui::dialogs().exec(m_detail);
}

void ArchiveListForm::spdEliminaClick() {
    if (!query().isOpen() || query().recordCount() <= 0) return;
    if (!ui::dialogs().question(this, m_d.deleteQuestion, kAvviso)) return;
    common::EliminaRecord(query(), m_d.key);
}

void ArchiveListForm::spdAggiornaClick() { query().requery(); }

void ArchiveListForm::spdIndietroClick() { done(QDialog::Rejected); }

void ArchiveListForm::SpeedButton1Click() { ui::help().showHelp(this); }
