#pragma once

#include <string>
#include <string_view>

namespace db::text {

// The one text ordering of the system, used by SQLite (collation "ITALIAN" and the `like`
// function registered on every connection) and by the datasets' client-side filter and
// sort, so the same words match and order the same way everywhere. Texts are UTF-8.
// Case is ignored and accented letters compare as their base letter (à = a = A), so
// "Perù" = "peru"; no tie-break: equal under folding means equal.
int compare(std::string_view a, std::string_view b);
inline bool equal(std::string_view a, std::string_view b) { return compare(a, b) == 0; }

// The folded form compare() works on (lower case, accents removed), as UTF-8.
// Folding rules: ASCII letters to lower case; Latin-1 Supplement and Latin Extended-A
// letters to their base letter (à á â ã ä å ā ă ą -> a, ç -> c, ð đ -> d, ø -> o, ł -> l,
// ı -> i, ...); five letters expand to two: ß -> "ss", æ -> "ae", œ -> "oe", ĳ -> "ij",
// þ -> "th". Beyond that: Unicode simple case folding plus removal of canonical accents
// (the base letter of the canonical decomposition), and non-spacing combining marks are
// dropped (so a decomposed "e" + U+0301 equals "é"). Other code points compare as
// themselves; bytes that are not valid UTF-8 read as U+FFFD. compare() is the
// lexicographic order of the folded code points (= byte order of fold()), so digits
// and punctuation come before letters.
std::string fold(std::string_view text);

// Jet `like`: '*' or '%' match any run of characters (also none), '?' or '_' exactly one;
// everything else matches itself under folding. No escapes: '[' and '#' are literal.
// '?' matches one character of the folded text, so the two-letter foldings above
// (ß, æ, œ, ĳ, þ) need "??". Greedy star matching: O(text x pattern) at worst.
bool like(std::string_view text, std::string_view pattern);

// Longest like pattern accepted, in UTF-8 bytes (SQLite's own bound for its `like`): a
// longer one is refused rather than matched row after row.
inline constexpr size_t LikePatternLimit = 50000;

} // namespace db::text

// --- SQLite glue (plain C-compatible signatures; sqlite3.h stays out of this header).
// The connection registers them on every connection:
//   sqlite3_create_collation_v2(db, "ITALIAN", SQLITE_UTF8, nullptr,
//                               &db::text::sqliteCollate, nullptr);
//   sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
//                           &db::text::sqliteLike, nullptr, nullptr);
// Registering "like" with two arguments replaces SQLite's `X LIKE Y` (called as
// like(Y, X): pattern first); a NULL argument gives NULL. `LIKE ... ESCAPE` (three
// arguments) is left to SQLite's built-in function, which the translator never emits.
struct sqlite3_context;
struct sqlite3_value;

namespace db::text {

// sqlite3_create_collation_v2 callback: compare() on two UTF-8 byte ranges.
int sqliteCollate(void* unused, int lengthA, const void* a, int lengthB, const void* b);
// sqlite3_create_function callback for like(pattern, text): 1 when text matches, else 0.
void sqliteLike(sqlite3_context* context, int argc, sqlite3_value** argv);

} // namespace db::text
