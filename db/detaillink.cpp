#include "db/detaillink.h"

#include "db/dataset.h"

namespace db {

DetailLink::DetailLink(Dataset& master, QString masterKey, Dataset& detail, QString foreignKey,
                       QObject* parent)
    : QObject(parent), m_master(&master), m_masterKey(std::move(masterKey)), m_detail(&detail),
      m_foreignKey(std::move(foreignKey)) {
    connect(&master, &Dataset::currentChanged, this, [this] { onMasterMoved(); });
}

DetailLink::DetailLink(Dataset& master, QString masterKey, Dataset& detail,
                       std::function<QString(long long)> sqlFor, QObject* parent)
    : QObject(parent), m_master(&master), m_masterKey(std::move(masterKey)), m_detail(&detail),
      m_sqlFor(std::move(sqlFor)) {
    connect(&master, &Dataset::currentChanged, this, [this] { onMasterMoved(); });
}

void DetailLink::setActive(bool on) {
    m_active = on;
    if (on) follow();
}

long long DetailLink::masterKey() const {
    if (!m_master || !m_master->isOpen() || m_master->isEmpty()) return 0;
    const QVariant v = m_master->value(m_masterKey);
    return v.isValid() ? v.toLongLong() : 0;
}

void DetailLink::onMasterMoved() {
    // Moves inside the master's own edit (a new row getting its key) follow as well; a move
    // onto the key already shown costs nothing.
    if (!m_active || !m_detail) return;
    if (m_followed && masterKey() == m_key) return;
    follow();
}

void DetailLink::follow() {
    if (!m_detail) return;
    Dataset& d = *m_detail;
    if (d.state() == Dataset::State::Edit || d.state() == Dataset::State::Insert) d.post();
    m_key = masterKey();
    if (m_sqlFor) {
        d.setSql(m_sqlFor(m_key));
        d.open();
    } else {
        if (!d.isOpen()) d.open();
        d.setFiltered(true);
        d.setFilter(m_foreignKey + QStringLiteral(" = ") + QString::number(m_key));
    }
    m_followed = true;
    Q_EMIT followed(m_key);
}

} // namespace db
