// sort_bench: the datasets' client-side sort (db::sortRows) on 200,000 generated rows of
// surnames with numbers, amounts and Nulls, for the sort texts a grid's title click writes.
// Prints the median of five runs per sort text beside the 3-second target; information,
// not an assertion.

#include "db/filter.h"
#include "db/rowstore.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

int main() {
    db::ColumnInfo id, name, amount;
    id.name = "Id";
    id.type = db::FieldType::Integer;
    name.name = "Cognome";
    name.type = db::FieldType::Text;
    amount.name = "Importo";
    amount.type = db::FieldType::Double;
    db::RowStore s({id, name, amount});
    const std::vector<std::string> surnames{"Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo",
                                            "Ricci", "Marino", "Greco", "Bruno", "Gallo", "Conti", "De Luca",
                                            "Mancini", "Costa", "Giordano", "Rizzo", "Lombardi", "Moretti",
                                            "Èrica", "Nicolò", "Perù", "D'Amico", "ROSSINI"};
    std::mt19937 rng(1);
    const int n = 200000;
    s.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int r = s.appendRow();
        s.setInteger(r, 0, i);
        if (rng() % 50) s.setText(r, 1, surnames[rng() % surnames.size()] + std::to_string(rng() % 300));
        if (rng() % 50) s.setReal(r, 2, double(rng() % 100000) / 100.0);
    }
    std::printf("%-28s %10s %10s\n", "sortRows, 200000 rows", "median ms", "target ms");
    for (const char* sortText : {"Cognome", "Cognome DESC", "Importo DESC", "Cognome, Importo DESC"}) {
        const auto keys = db::parseSort(QString::fromUtf8(sortText), s);
        std::vector<double> times;
        for (int run = 0; run < 5; ++run) {
            std::vector<int> rows(n);
            std::iota(rows.begin(), rows.end(), 0);
            const auto t0 = std::chrono::steady_clock::now();
            db::sortRows(rows, s, keys);
            times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
        std::sort(times.begin(), times.end());
        std::printf("%-28s %10.1f %10d %s\n", sortText, times[2], 3000, times[2] <= 3000 ? "PASS" : "MISS");
    }
    return 0;
}
