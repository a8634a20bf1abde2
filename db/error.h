#pragma once

#include <QString>
#include <stdexcept>

namespace db {

// Every failure of the database layer: the engine's or the parser's own text, which the
// application's default error handler shows to the user as it stands.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString& text)
        : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const noexcept { return m_text; }

private:
    QString m_text;
};

// A Jet-dialect statement, filter or sort text that cannot be read; position is the
// zero-based character offset where reading stopped.
class SyntaxError : public DatabaseError {
public:
    SyntaxError(const QString& message, int position)
        : DatabaseError(QStringLiteral("%1 (posizione %2)").arg(message).arg(position + 1)),
          m_message(message), m_position(position) {}
    const QString& message() const noexcept { return m_message; }
    int position() const noexcept { return m_position; }

private:
    QString m_message;
    int m_position;
};

} // namespace db
