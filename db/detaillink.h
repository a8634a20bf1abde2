#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace db {

class Dataset;

// Keeps a detail query on the rows of its master's current row: a record tab's list follows
// the current client by key. Two ways, both showing the same rows:
//  - by query: the detail's text is made for the key and read again (each read a small
//    indexed one), for lists that only ever show one master's rows;
//  - by filter: the detail holds every row and shows the key's through "Column = key",
//    which its equality index answers without a scan, for a list also used whole.
// Unsaved typing in the detail is posted before it moves, never dropped.
class DetailLink : public QObject {
    Q_OBJECT
public:
    DetailLink(Dataset& master, QString masterKey, Dataset& detail, QString foreignKey,
               QObject* parent = nullptr);
    DetailLink(Dataset& master, QString masterKey, Dataset& detail,
               std::function<QString(long long key)> sqlFor, QObject* parent = nullptr);

    // While active the detail follows every move of the master; activating follows at once.
    void setActive(bool on);
    bool isActive() const { return m_active; }
    // Brings the detail onto the master's current key now (reads again even when the key is
    // the same: the rows may have changed).
    void follow();
    // The key the detail shows, 0 when none (an empty master, a row not saved yet).
    long long key() const { return m_key; }
    Dataset& detail() const { return *m_detail; }

Q_SIGNALS:
    void followed(long long key);

private:
    long long masterKey() const;
    void onMasterMoved();

    QPointer<Dataset> m_master;
    QString m_masterKey;
    QPointer<Dataset> m_detail;
    QString m_foreignKey;
    std::function<QString(long long)> m_sqlFor;
    bool m_active = false;
    long long m_key = 0;
    bool m_followed = false;
};

} // namespace db
