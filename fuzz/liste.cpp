// The splitter of the "|"-terminated lists a saved grid layout keeps (fields, widths,
// captions): every token of any text, and the tokens must give the text back.

#include "common/text.h"
#include "fuzz.h"

#include <cstdlib>

VASTREL_FUZZ_TARGET {
    if (size == 0) return 0;
    const QChar sep = QChar(data[0] & 0x7f);
    const QString list = fuzzText(data + 1, size - 1);
    const int n = common::ContaToken(list, sep);
    QString joined;
    for (int i = 1; i <= n; ++i) joined += common::EstraiToken(list, i, sep) + sep;
    common::EstraiToken(list, n + 1, sep);
    common::EstraiToken(list, 0, sep);
    // A missing final separator is supplied; otherwise the list comes back whole.
    if (joined != (list.isEmpty() || list.endsWith(sep) ? list : list + sep)) std::abort();
    return 0;
}
