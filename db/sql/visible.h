#pragma once

#include <QString>
#include <QStringView>

namespace db {

// `text` with every character a reader cannot see (controls, format marks, unusual
// blanks) written as its code, "<U+0001>", so a message can point at it.
inline QString visibleText(QStringView text) {
    QString out;
    for (const QChar c : text) {
        if (c == u' ' || (c.isPrint() && !c.isSpace() && c.category() != QChar::Other_Format))
            out += c;
        else
            out += QStringLiteral("<U+%1>").arg(
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
    }
    return out;
}

} // namespace db
