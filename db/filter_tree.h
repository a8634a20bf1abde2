#pragma once

// Private to the database layer: the compiled form of a filter text, built by the parser
// (filter_parse.cpp) and walked by the evaluator (filter_eval.cpp).

#include "db/filter.h"
#include "db/filter_text.h"

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace db {

namespace detail {

enum class Op : uint8_t { Eq, Ne, Lt, Gt, Le, Ge };

enum class NodeKind : uint8_t {
    And,
    Or,
    False, // a comparison with Null other than = / <>
    IsNull,
    NotNull,
    Int,       // Integer or Date cell vs integer constant
    IntReal,   // Integer cell vs fractional constant
    Real,      // Double cell vs constant
    Truth,     // yes/no cell as 0/1 vs 0/1
    TextEq,    // text cell = / <> folded constant
    TextOrder, // text cell < > <= >= folded constant
    Like,      // text cell like pattern
    LikeInt,   // canonical text of an Integer / yes-no cell like pattern
    LikeReal,
    LikeDate,
};

// One node of the tree, every constant already in the column's own form.
struct Node {
    NodeKind kind = NodeKind::False;
    Op op = Op::Eq;
    bool negate = false; // Like*: NOT LIKE (a Null cell still fails)
    int column = -1;
    long long i = 0;
    double d = 0;
    uint32_t first = 0; // And/Or: children[first, first + count); texts/patterns: index
    uint32_t count = 0;
};

// A constant read from a filter text, before it meets its column.
struct FilterValue {
    enum class Type { Null, Number, Text, Date, Bool } type = Type::Null;
    bool isInteger = false;
    long long integer = 0;
    double number = 0;
    QString text; // Text: the content; any other type: the constant as written
    CivilTime date = 0;
    bool flag = false;
    qsizetype pos = 0; // where the constant starts in the filter text
};

// A real as SQLite's own like sees it ("%!.15g": "12.5", "100.0"), in a stack buffer.
std::string_view realText(double v, char (&buf)[64]);

} // namespace detail

struct CompiledFilter::Impl {
    std::vector<detail::Node> nodes;
    std::vector<uint32_t> children;
    std::vector<text::detail::FoldedText> texts;
    std::vector<text::detail::LikePattern> patterns;
    uint32_t root = 0;
    int columnCount = 0;

    bool eval(uint32_t index, const RowStore& s, int row) const;
    uint32_t add(const detail::Node& n) {
        nodes.push_back(n);
        return uint32_t(nodes.size() - 1);
    }
};

namespace detail {

// The node of "column op value" or "column [NOT] LIKE value" added to `impl`, with the
// constant converted to the column's type (filter_bind.cpp); returns its index. Throws
// DatabaseError for a constant the column cannot take, SyntaxError for a like without text.
uint32_t bindCompare(CompiledFilter::Impl& impl, const RowStore& store, int column, Op op,
                     const FilterValue& v);
uint32_t bindLike(CompiledFilter::Impl& impl, const RowStore& store, int column,
                  const FilterValue& v, bool negate);

} // namespace detail

} // namespace db
