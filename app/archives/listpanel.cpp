#include "app/archives/listpanel.h"

#include "app/archives/detailform.h"
#include "app/shell/form_db.h"
#include "common/controls/dbedits.h"
#include "common/controls/dialogs.h"
#include "common/controls/help.h"
#include "common/controls/toolbutton.h"
#include "common/personalizzazioni.h"
#include "common/records.h"
#include "common/text.h"
#include "db/dataset.h"
#include "db/values.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTimer>
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

QList<ListTool> registerTools(const ListDescriptor& d) {
    const ListTool back{QStringLiteral("spdIndietro"), QStringLiteral("Indietro"), QString(),
                        ListTool::Back, {}};
    if (d.pickerOnly) return {back};
    return {{d.helpButton, QStringLiteral("Aiuto"), QString(), ListTool::Help, {}},
            {QStringLiteral("spdAggiorna"), QStringLiteral("Ricarica"), QStringLiteral("Aggiorna l'elenco"),
             ListTool::Reload, {}},
            back,
            {QStringLiteral("spdElimina"), QStringLiteral("Elimina"), QStringLiteral("Elimina il record corrente "),
             ListTool::Delete, {}},
            {QStringLiteral("spdInserisci"), QStringLiteral("Aggiungi"),
             QStringLiteral("Inserisce un nuovo Record"), ListTool::Add, {}},
            {QStringLiteral("spdAvanti"), QStringLiteral("Avanti"), QString(), ListTool::Open, {}}};
}

QString iconOf(const ListTool& t) {
    if (!t.icon.isEmpty()) return t.icon;
    switch (t.action) {
    case ListTool::Help: return QStringLiteral("help-contents");
    case ListTool::Reload: return QStringLiteral("view-refresh");
    case ListTool::Back: return QStringLiteral("go-previous");
    case ListTool::Delete: return QStringLiteral("edit-delete");
    case ListTool::Add: return QStringLiteral("list-add");
    case ListTool::Open: return QStringLiteral("document-edit");
    case ListTool::Save: return QStringLiteral("document-save");
    case ListTool::Custom: break;
    }
    // The windows' own buttons print a sheet or a list.
    return QString(t.caption + t.hint).contains(QStringLiteral("stampa"), Qt::CaseInsensitive)
               ? QStringLiteral("document-print")
               : QStringLiteral("view-list-details");
}

// Parentheses keep a base filter with "or" whole when boxes are added to it.
QString gruppo(const QString& filter) {
    return filter.contains(QRegularExpression(QStringLiteral("\\bor\\b"),
                                              QRegularExpression::CaseInsensitiveOption))
               ? u'(' + filter + u')'
               : filter;
}

} // namespace

QString condizioneRicerca(const SearchBox& box, const QString& text) {
    const QString column = nomeColonna(box.column);
    switch (box.kind) {
    case SearchBox::DateFrom:
    case SearchBox::DateTo: {
        const std::optional<db::CivilTime> t = db::readDate(text.trimmed(), db::DateOrder::DayFirst);
        if (!t) return {};
        return column + (box.kind == SearchBox::DateFrom ? QStringLiteral(" >= #") : QStringLiteral(" <= #")) +
               db::qDateTimeFromCivil(*t).date().toString(Qt::ISODate) + u'#';
    }
    default:
        break;
    }
    if (text.isEmpty() || text == u"*") return {};
    switch (box.kind) {
    case SearchBox::Number: {
        const std::optional<double> v = leggiNumero(text);
        if (!v) return {};
        return column + QStringLiteral(" = ") + QString::number(*v, 'g', 17);
    }
    case SearchBox::Exact:
        return column + QStringLiteral(" = '") + common::QuotaFiltro(text) + u'\'';
    case SearchBox::Lookup: {
        if (box.condition) return box.condition(text);
        if (!box.list || !box.list->isOpen()) return {};
        const int shown = box.list->fieldIndex(box.listField);
        const int row = shown < 0 ? -1 : box.list->findRow(shown, text);
        if (row < 0) return {};
        const QVariant key = box.list->valueAt(row, box.list->fieldIndex(box.listKey));
        return key.isValid() ? column + QStringLiteral(" = ") + QString::number(key.toLongLong()) : QString();
    }
    case SearchBox::Custom:
        return box.condition ? box.condition(text) : QString();
    default:
        return column + QStringLiteral(" like '") + common::QuotaFiltro(text) + QStringLiteral("*'");
    }
}

ListPanel::ListPanel(Tform_DB& dm, ListDescriptor descriptor, QWidget* parent)
    : QWidget(parent), m_dm(dm), m_d(std::move(descriptor)) {
    auto* top = m_top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    buildTools(bar);
    bar->addStretch(1);
    top->addLayout(bar);

    m_grid = new ui::DBGrid(this);
    m_grid->setObjectName(m_d.gridObjectName);
    m_grid->setDataset(m_d.query);
    m_grid->setColumns(m_d.columns);
    m_grid->setReadOnly(!m_d.editable);
    m_grid->setMultiSelect(m_d.multiSelect);
    if (m_d.rowColour)
        m_grid->setCellStyler([this](ui::CellStyle& cell) {
            const QColor c = m_d.rowColour(query(), cell.row);
            if (c.isValid()) cell.background = c;
            cell.foreground = Qt::black;
        });
    top->addWidget(m_grid, 1);
    connect(m_grid, &ui::DBGrid::titleClicked, this,
            [this](int, const QString& field) { DBGrid1TitleClick(field); });
    connect(m_grid, &ui::DBGrid::dblClicked, this, [this] { DBGrid1DblClick(); });
    if (m_d.layoutMenu && !m_d.gridName.isEmpty())
        m_popup = ui::attachLayoutMenu(*m_grid, m_d.gridName, dm.TableGriglie, dm.nomeComputer,
                                       m_d.layoutNames);
    if (!m_d.gridName.isEmpty()) m_dm.griglie.insert(m_d.gridName, m_grid);

    if (!m_d.fields.isEmpty()) {
        auto* row = new QWidget(this);
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        for (const DetailField& f : m_d.fields) {
            QWidget* w = creaCampo(f, m_d.query, row);
            auto* label = new QLabel(f.label, row);
            label->setBuddy(w);
            h->addWidget(label);
            h->addWidget(w, f.width > 0 ? 0 : 1);
            m_fields.insert(f.control, w);
        }
        h->addStretch(1);
        top->addWidget(row);
    }
    if (!m_d.boxes.isEmpty()) buildSearch(top);
    if (m_d.hasTotal) buildTotal(top);
}

ListPanel::~ListPanel() {
    if (!m_d.gridName.isEmpty() && m_dm.griglie.value(m_d.gridName) == m_grid)
        m_dm.griglie.remove(m_d.gridName);
}

void ListPanel::buildTools(QHBoxLayout* bar) {
    const QList<ListTool> tools = m_d.tools.isEmpty() ? registerTools(m_d) : m_d.tools;
    for (const ListTool& t : tools) {
        QToolButton* b = ui::toolButton(this, t.name, t.caption, iconOf(t), t.hint);
        bar->addWidget(b);
        m_tools.insert(t.name, b);
        connect(b, &QToolButton::clicked, this, [this, t] { runTool(t); });
    }
}

void ListPanel::runTool(const ListTool& t) {
    switch (t.action) {
    case ListTool::Help: return SpeedButton1Click();
    case ListTool::Reload: return spdAggiornaClick();
    case ListTool::Back: Q_EMIT closeRequested(); return;
    case ListTool::Delete: return spdEliminaClick();
    case ListTool::Add: return spdInserisciClick();
    case ListTool::Open: return spdAvantiClick();
    case ListTool::Save: return spdSalvaClick();
    case ListTool::Custom:
        if (t.run) t.run();
        return;
    }
}

void ListPanel::buildSearch(QVBoxLayout* top) {
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
        QWidget* w = nullptr;
        if (box.kind == SearchBox::DateFrom || box.kind == SearchBox::DateTo) {
            auto* mask = new ui::DateMaskEdit(m_searchGroup);
            if (box.refilters) connect(mask, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
            w = mask;
        } else if (box.kind == SearchBox::Lookup) {
            auto* combo = new QComboBox(m_searchGroup);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            if (box.refilters)
                connect(combo, &QComboBox::currentTextChanged, this, [this] { Edit1Change(); });
            w = combo;
        } else {
            auto* edit = new QLineEdit(m_searchGroup);
            if (box.refilters) connect(edit, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
            w = edit;
        }
        w->setObjectName(box.name);
        w->setMinimumWidth(160);
        label->setBuddy(w);
        grid->addWidget(label, i / perRow, (i % perRow) * 2);
        grid->addWidget(w, i / perRow, (i % perRow) * 2 + 1);
        m_boxes.insert(box.name, w);
        ++i;
    }
    grid->setColumnStretch(perRow * 2, 1);
    top->addWidget(m_searchGroup);
}

void ListPanel::buildTotal(QVBoxLayout* top) {
    auto* group = new QGroupBox(m_d.total.caption, this);
    group->setObjectName(QStringLiteral("GroupBoxTotale"));
    auto* row = new QHBoxLayout(group);
    m_totalLabel = new QLabel(QStringLiteral("0"), group);
    m_totalLabel->setObjectName(m_d.total.label);
    m_totalLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_totalLabel->setMinimumWidth(120);
    auto* button = new QPushButton(QStringLiteral("Totali"), group);
    button->setObjectName(m_d.total.button);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this] { ricalcolaTotale(); });
    row->addWidget(m_totalLabel);
    row->addWidget(button);
    row->addStretch(1);
    top->addWidget(group);
    // Any change of rows or values: one recomputation once the changes are over.
    connect(m_d.query, &db::Dataset::layoutReset, this, [this] { scheduleTotal(); });
    connect(m_d.query, &db::Dataset::rowChanged, this, [this] { scheduleTotal(); });
}

void ListPanel::scheduleTotal() {
    // A hidden list counts again when it is shown.
    if (m_totalPending || !isVisible()) return;
    m_totalPending = true;
    QTimer::singleShot(0, this, [this] {
        m_totalPending = false;
        ricalcolaTotale();
    });
}

double ListPanel::totale() const {
    const db::Dataset& q = query();
    if (!q.isOpen() || !m_d.hasTotal) return 0;
    const int c = q.fieldIndex(m_d.total.field);
    if (c < 0) return 0;
    // Straight from the rows: a register may show hundreds of thousands of them.
    const db::RowStore& rows = q.store();
    const int editing = q.state() == db::Dataset::State::Browse ? -1 : q.position();
    double sum = 0;
    for (int r = 0; r < q.recordCount(); ++r) {
        if (r == editing) {
            const QVariant v = q.valueAt(r, c);
            if (v.isValid()) sum += v.toDouble();
            continue;
        }
        const int p = q.physicalRow(r);
        if (!rows.isNull(p, c)) sum += rows.number(p, c);
    }
    return common::Arrotonda2(sum);
}

void ListPanel::ricalcolaTotale() {
    if (!m_totalLabel) return;
    m_totalLabel->setText(QLocale().toString(totale(), 'g', 15));
}

void ListPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Drop-down boxes list their choices as the query holds them when the list is shown.
    for (const SearchBox& box : m_d.boxes) {
        auto* combo = qobject_cast<QComboBox*>(m_boxes.value(box.name));
        if (!combo || box.kind != SearchBox::Lookup || !box.list) continue;
        const QString typed = combo->currentText();
        const QSignalBlocker quiet(combo);
        combo->clear();
        combo->addItem(QString());
        box.list->open();
        const int c = box.list->fieldIndex(box.listField);
        for (int r = 0; c >= 0 && r < box.list->recordCount(); ++r) {
            const QString t = box.list->displayTextAt(r, c);
            if (!t.isEmpty()) combo->addItem(t);
        }
        combo->setCurrentText(typed);
    }
    if (m_totalLabel) ricalcolaTotale();
}

void ListPanel::setBaseFilter(const QString& filter) {
    m_base = filter;
    Edit1Change();
}

QString ListPanel::testoRicerca(const QString& name) const {
    QWidget* w = m_boxes.value(name);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
    return {};
}

void ListPanel::impostaRicerca(const QString& name, const QString& text) {
    QWidget* w = m_boxes.value(name);
    const QSignalBlocker quiet(w);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(w)) combo->setCurrentText(text);
}

void ListPanel::svuotaRicerca() {
    // Every box first, then one search: a box read only by the others' search (a numeric
    // box without its own handler) must not leave its condition behind.
    for (const SearchBox& box : m_d.boxes) impostaRicerca(box.name, QString());
    Edit1Change();
}

QString ListPanel::filtroRicerca() const {
    QStringList parts;
    if (!m_base.trimmed().isEmpty()) parts << gruppo(m_base);
    QList<const SearchBox*> ordered;
    for (const QString& name : m_d.searchOrder)
        for (const SearchBox& box : m_d.boxes)
            if (box.name == name) ordered << &box;
    if (ordered.isEmpty())
        for (const SearchBox& box : m_d.boxes) ordered << &box;
    for (const SearchBox* b : ordered) {
        const SearchBox& box = *b;
        QString text = testoRicerca(box.name);
        if (auto* mask = qobject_cast<ui::DateMaskEdit*>(m_boxes.value(box.name)))
            text = mask->isComplete() ? mask->text() : QString();
        const QString condition = condizioneRicerca(box, text);
        if (!condition.isEmpty()) parts << gruppo(condition);
    }
    return parts.join(QStringLiteral(" and "));
}

void ListPanel::Edit1Change() {
    // One change of filter per keystroke: the grid is rebuilt once.
    query().setFiltered(true);
    query().setFilter(filtroRicerca());
}

void ListPanel::DBGrid1TitleClick(const QString& field) {
    if (!m_d.titleSort || field.isEmpty()) return;
    // The toggle looks only at the current direction, whatever column it names.
    const QString current = query().sort();
    const bool ascending = !current.isEmpty() && current.right(3) == u"ASC";
    query().setSort(nomeColonna(field) + (ascending ? QStringLiteral(" DESC") : QStringLiteral(" ASC")));
}

void ListPanel::DBGrid1DblClick() { spdAvantiClick(); }
void ListPanel::spdAvantiClick() { avanti(); }
void ListPanel::spdInserisciClick() { inserisci(); }
void ListPanel::spdEliminaClick() { elimina(); }
void ListPanel::spdSalvaClick() { salva(); }
void ListPanel::spdAggiornaClick() { aggiorna(); }
void ListPanel::aggiorna() { query().requery(); }

void ListPanel::aggiungiSottoGriglia(QWidget* widget) {
    m_top->insertWidget(m_top->indexOf(m_grid) + 1, widget);
}
void ListPanel::SpeedButton1Click() { ui::help().showHelp(window()); }

void ListPanel::avanti() {
    if ((m_d.pickable && scelta) || m_d.pickerOnly) {
        Q_EMIT chosen();
        return;
    }
    if (!m_detail || !query().isOpen() || query().recordCount() <= 0) return;
    ui::dialogs().exec(m_detail);
}

void ListPanel::valoriPredefiniti() {
    for (const FieldDefault& d : m_d.defaults) query().setValue(d.field, d.value());
    if (!m_d.personalizzazioni.isEmpty())
        common::ApplicaPersonalizzazioni(m_d.personalizzazioni, query(), m_dm.TablePersonalizzazioni);
}

void ListPanel::inserisci() {
    db::Dataset& q = query();
    const QString descrizione = QStringLiteral("Descrizione");
    q.setFilter(m_base);
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
    struct Hide {
        ArchiveDetailForm* d;
        ~Hide() { d->spdAnnulla->setVisible(false); }
    } hide{m_detail};
    ui::dialogs().exec(m_detail);
}

void ListPanel::elimina() {
    if (!query().isOpen() || query().recordCount() <= 0) return;
    if (!m_d.deleteQuestion.isEmpty() && !ui::dialogs().question(this, m_d.deleteQuestion, kAvviso))
        return;
    common::EliminaRecord(query(), m_d.key);
}

void ListPanel::salva() {
    if (!query().isOpen() || query().recordCount() <= 0) return;
    common::ConfermaRecord(query(), m_d.key);
}
