#include "app/archives/listform.h"

#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "common/controls/help.h"
#include "db/dataset.h"

#include <QVBoxLayout>

ArchiveListForm::ArchiveListForm(Tform_DB& dm, ListDescriptor descriptor, QWidget* parent,
                                 ListPanel* panel)
    : QDialog(parent), m_dm(dm) {
    setObjectName(descriptor.objectName);
    setWindowTitle(descriptor.caption);
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint;
    flags |= descriptor.pickerOnly ? Qt::CustomizeWindowHint
                                   : Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                         Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    if (descriptor.helpContext > 0) ui::HelpService::setHelpContext(this, descriptor.helpContext);
    resize(1000, 640);

    m_panel = panel ? panel : new ListPanel(dm, std::move(descriptor));
    m_panel->setParent(this);
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 6);
    top->addWidget(m_panel);
    connect(m_panel, &ListPanel::chosen, this, [this] { done(QDialog::Accepted); });
    connect(m_panel, &ListPanel::closeRequested, this, [this] { done(QDialog::Rejected); });
    ui::FormConventions::install(this);
}

ArchiveListForm::~ArchiveListForm() = default;

int ArchiveListForm::mostra() {
    setWindowState(windowState() | Qt::WindowMaximized);
    return ui::dialogs().exec(this);
}

void ArchiveListForm::reject() { done(QDialog::Rejected); }

std::optional<Scelta> ArchiveListForm::pick() {
    ListPanel& p = *m_panel;
    QHash<QString, QString> texts;
    for (const SearchBox& box : p.descriptor().boxes) texts.insert(box.name, p.testoRicerca(box.name));
    const db::ViewStateScope keep(query(), p.descriptor().key);
    struct Restore {
        ListPanel& p;
        const QHash<QString, QString>& texts;
        ~Restore() {
            p.scelta = false;
            for (auto it = texts.begin(); it != texts.end(); ++it) p.impostaRicerca(it.key(), it.value());
        }
    } restore{p, texts};
    p.scelta = true;
    std::optional<Scelta> out;
    if (mostra() == QDialog::Accepted && query().isOpen() && !query().isEmpty()) {
        Scelta s;
        s.riga = query().currentRecord();
        s.key = s.riga.value(p.descriptor().key).toLongLong();
        out = s;
    }
    return out;
}
