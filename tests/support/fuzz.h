#pragma once

// Texts that are almost right, for the readers of typed and stored texts: every prefix and
// suffix of a corpus, random soups of a vocabulary, random character edits of the corpus.

#include <QStringList>
#include <functional>
#include <random>

namespace testing_support {

inline void fuzzTexts(const QStringList& corpus, const QStringList& vocabulary, unsigned seed,
                      const std::function<void(const QString&)>& check) {
    for (const QString& s : corpus)
        for (qsizetype n = 0; n <= s.size(); ++n) {
            check(s.left(n));
            check(s.mid(n));
        }
    std::mt19937 rng(seed);
    auto below = [&rng](qsizetype n) { return qsizetype(rng() % quint32(n)); };
    for (int i = 0; i < 20000; ++i) {
        QString text;
        for (qsizetype n = 1 + below(24); n > 0; --n) {
            text += vocabulary[below(vocabulary.size())];
            if (below(4)) text += u' ';
        }
        check(text);
    }
    for (int i = 0; i < 5000; ++i) {
        QString s = corpus[below(corpus.size())];
        for (qsizetype k = 1 + below(3); k > 0 && !s.isEmpty(); --k) {
            const qsizetype at = below(s.size());
            switch (below(3)) {
            case 0: s.remove(at, 1); break;
            case 1: s.insert(at, QChar(char16_t(below(128)))); break;
            default: s[at] = QChar(char16_t(below(0x300))); break;
            }
        }
        check(s);
    }
}

} // namespace testing_support
