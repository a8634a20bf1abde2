#pragma once

#include <QList>
#include <QString>

namespace db::sql {

// One token of a Jet-dialect text. Keywords are not told apart here: the parser compares
// identifier tokens case-insensitively.
struct Token {
    enum Kind {
        Ident,       // plain name or keyword: Cognome, SELECT
        QuotedIdent, // [bracketed name]; text without the brackets
        String,      // 'text' or "text"; text unquoted, doubled quotes undone
        Number,      // 12, 1.5, 1e3; text as written
        Date,        // #...#; text is the stored form "YYYY-MM-DD HH:MM:SS"
        Symbol,      // ( ) , . ; * + - / & = <> < > <= >= \ ^
        Variable,    // @@IDENTITY; text without "@@"
        Parameter,   // ? : a value bound when the statement runs
        End
    };
    Kind kind = End;
    QString text;
    int pos = 0; // zero-based offset of the first character in the source
    int end = 0; // offset after the last character

    bool isSymbol(QStringView s) const { return kind == Symbol && text == s; }
    bool isWord(QStringView w) const {
        return kind == Ident && text.compare(w, Qt::CaseInsensitive) == 0;
    }
};

// Splits the text into tokens, ending with an End token. Throws db::SyntaxError for an
// unterminated string, bracket or date, an invalid date and any character that is not part
// of the Jet dialect. A "--" comment runs to the end of its line and is skipped.
QList<Token> tokenize(const QString& text);

} // namespace db::sql
