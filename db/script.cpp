#include "db/script.h"

namespace db {

QStringList splitScript(const QString& script, bool keepTail) {
    QStringList out;
    QString current;
    QChar quote;
    bool lineStart = true;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script[i];
        if (quote.isNull() && lineStart) {
            qsizetype j = i;
            while (j < script.size() && (script[j] == u' ' || script[j] == u'\t')) ++j;
            if (j + 1 < script.size() && script[j] == u'-' && script[j + 1] == u'-') {
                while (j < script.size() && script[j] != u'\n') ++j;
                i = j;
                current += u'\n';
                continue;
            }
        }
        lineStart = c == u'\n';
        if (!quote.isNull()) {
            current += c;
            if (c == quote) quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'[') {
            quote = u']';
        } else if (c == u';') {
            if (!current.trimmed().isEmpty()) out << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    if (keepTail && !current.trimmed().isEmpty()) out << current.trimmed();
    return out;
}

} // namespace db
