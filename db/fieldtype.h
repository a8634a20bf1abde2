#pragma once

namespace db {

// The kinds of value a column holds, as the programs see them.
enum class FieldType {
    Integer, // auto-numbers, keys, LONG
    Double,  // DOUBLE, CURRENCY
    Bool,    // yes/no, stored 0/1
    Date,    // date/time, stored as text "YYYY-MM-DD HH:MM:SS"
    Text,    // TEXT(n)
    Memo,    // MEMO
    Blob,    // LONGBINARY (pictures)
};

inline bool isTextual(FieldType t) { return t == FieldType::Text || t == FieldType::Memo; }
inline bool isNumeric(FieldType t) {
    return t == FieldType::Integer || t == FieldType::Double || t == FieldType::Bool;
}

} // namespace db
