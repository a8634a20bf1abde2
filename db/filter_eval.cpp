// Evaluation of a compiled filter for one physical row of a RowStore: typed comparisons
// with constants converted at compile time, no allocation. This is the hot path of every
// filter switch and keystroke in a search box.

#include "db/filter_tree.h"

#include "db/collation.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace db {

using detail::NodeKind;
using detail::Op;

namespace {

template <class T> inline bool compareOp(const T& a, const T& b, Op op) {
    switch (op) {
    case Op::Eq:
        return a == b;
    case Op::Ne:
        return a != b;
    case Op::Lt:
        return a < b;
    case Op::Gt:
        return a > b;
    case Op::Le:
        return a <= b;
    case Op::Ge:
        return a >= b;
    }
    return false;
}

inline bool signOp(int c, Op op) {
    switch (op) {
    case Op::Eq:
        return c == 0;
    case Op::Ne:
        return c != 0;
    case Op::Lt:
        return c < 0;
    case Op::Gt:
        return c > 0;
    case Op::Le:
        return c <= 0;
    case Op::Ge:
        return c >= 0;
    }
    return false;
}

// Canonical texts of non-text cells for like (no allocation: a stack buffer).
std::string_view intText(long long v, char (&buf)[64]) {
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return {buf, size_t(r.ptr - buf)};
}

std::string_view dateText(CivilTime t, char (&buf)[64]) {
    int y, mo, d, h, mi, s;
    civilToParts(t, y, mo, d, h, mi, s);
    const int n =
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    return {buf, size_t(std::clamp(n, 0, int(sizeof buf) - 1))};
}

} // namespace

std::string_view detail::realText(double v, char (&buf)[64]) {
    // SQLite renders a REAL with "%!.15g": 15 significant digits, always with a point.
    int n = std::snprintf(buf, sizeof buf, "%.15g", v);
    if (n < 0 || n >= int(sizeof buf) - 3) return {buf, 0};
    bool plain = true;
    for (int k = 0; k < n; ++k)
        if (buf[k] == '.' || buf[k] == 'e' || buf[k] == 'n' || buf[k] == 'i') plain = false;
    if (plain) {
        buf[n++] = '.';
        buf[n++] = '0';
    }
    return {buf, size_t(n)};
}

CompiledFilter::CompiledFilter() = default;

bool CompiledFilter::integerEquality(int& column, long long& value) const {
    if (!m_impl) return false;
    const detail::Node& n = m_impl->nodes[m_impl->root];
    if (n.kind != NodeKind::Int || n.op != Op::Eq || n.negate) return false;
    column = n.column;
    value = n.i;
    return true;
}

bool CompiledFilter::Impl::eval(uint32_t index, const RowStore& s, int row) const {
    const detail::Node& n = nodes[index];
    switch (n.kind) {
    case NodeKind::And:
        for (uint32_t k = 0; k < n.count; ++k)
            if (!eval(children[n.first + k], s, row)) return false;
        return true;
    case NodeKind::Or:
        for (uint32_t k = 0; k < n.count; ++k)
            if (eval(children[n.first + k], s, row)) return true;
        return false;
    case NodeKind::False:
        return false;
    case NodeKind::IsNull:
        return s.isNull(row, n.column);
    case NodeKind::NotNull:
        return !s.isNull(row, n.column);
    default:
        break;
    }
    if (s.isNull(row, n.column)) return false;
    switch (n.kind) {
    case NodeKind::Int:
        return compareOp(s.integer(row, n.column), n.i, n.op);
    case NodeKind::IntReal:
        return compareOp(double(s.integer(row, n.column)), n.d, n.op);
    case NodeKind::Real: {
        const double v = s.real(row, n.column);
        return compareOp(v, n.d, n.op);
    }
    case NodeKind::Truth:
        return compareOp(s.integer(row, n.column) != 0 ? 1LL : 0LL, n.i, n.op);
    case NodeKind::TextEq:
        return texts[n.first].equals(s.text(row, n.column)) == (n.op == Op::Eq);
    case NodeKind::TextOrder:
        return signOp(text::compare(s.text(row, n.column), texts[n.first].folded), n.op);
    case NodeKind::Like:
        return patterns[n.first].matches(s.text(row, n.column)) != n.negate;
    case NodeKind::LikeInt: {
        char buf[64];
        return patterns[n.first].matches(intText(s.integer(row, n.column), buf)) != n.negate;
    }
    case NodeKind::LikeReal: {
        char buf[64];
        const std::string_view t = detail::realText(s.real(row, n.column), buf);
        return patterns[n.first].matches(t) != n.negate;
    }
    case NodeKind::LikeDate: {
        char buf[64];
        return patterns[n.first].matches(dateText(s.date(row, n.column), buf)) != n.negate;
    }
    default:
        return false;
    }
}

bool CompiledFilter::matches(const RowStore& store, int row) const {
    if (!m_impl) return true;
    Q_ASSERT(store.columnCount() >= m_impl->columnCount);
    return m_impl->eval(m_impl->root, store, row);
}

} // namespace db
