#pragma once

#include <QString>
#include <stdexcept>

namespace stampa {

// A failure of the report viewer that the user must read: a layout that cannot be read, a
// template error, an export that cannot be written. Shown in a message box; the program ends.
class ErroreStampa : public std::runtime_error {
public:
    explicit ErroreStampa(const QString& text)
        : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const noexcept { return m_text; }

private:
    QString m_text;
};

} // namespace stampa
