// vcard_bench: exporting 10,000 clients to a vCard file and importing the file back, each
// beside a reference measured in the same run. Target: the export within 2 seconds.
//
//   vcard_bench [contacts]
//
// The contacts carry what the client export fills (name, telephones, e-mail, street and
// number, town, postcode, note, identifier, birthday and date of entry), with the accented
// names and apostrophes of the generator's lists. References:
// - export: the same UTF-8 bytes, already built, written with one QFile::write;
// - import: the same file read and split into lines (QFile::readAll, UTF-8 decoding, split
//   at line feeds), which any reader of the file has to do.
// Each side runs five times, alternately; the best times are compared. The verdict is
// printed, not asserted.

#include "common/text.h"
#include "common/vcard.h"
#include "gen_lists.h"
#include "gen_random.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

QString pick(gen::Rng& rng, const auto& list) {
    return QString::fromUtf8(rng.pick(list));
}

QList<common::ContattoVCard> contacts(int n) {
    gen::Rng rng(1);
    QList<common::ContattoVCard> out;
    out.reserve(n);
    for (int id = 1; id <= n; ++id) {
        common::ContattoVCard c;
        const bool woman = rng.chance(0.5);
        c.cognome = pick(rng, gen::Surnames);
        c.nome = woman ? pick(rng, gen::FemaleNames) : pick(rng, gen::MaleNames);
        if (rng.chance(0.4)) c.telCasa[0] = QStringLiteral("049 %1").arg(rng.range(100000, 999999));
        c.cellCasa[0] =
            QStringLiteral("3%1 %2").arg(rng.range(20, 49)).arg(rng.range(1000000, 9999999));
        if (rng.chance(0.05)) c.faxCasa = QStringLiteral("049 %1").arg(rng.range(100000, 999999));
        if (rng.chance(0.8)) {
            QString user = c.nome.toLower() + u'.' + c.cognome.toLower();
            user.remove(u'\'').remove(u' ');
            c.emailCasa[0] = user + u'@' + pick(rng, gen::MailDomains);
        }
        c.viaCasa = pick(rng, gen::Streets);
        c.civicoCasa = QString::number(rng.range(1, 180));
        c.localitaCasa = rng.chance(0.7) ? QStringLiteral("Padova") : pick(rng, gen::BigCities);
        c.regioneCasa = QString::number(rng.range(35010, 35143));
        if (rng.chance(0.3)) c.nota = pick(rng, gen::ClientNotes);
        c.identificativo = QStringLiteral("Vastrel%1").arg(id);
        c.compleanno = common::DataIso(QDate(1950, 1, 1).addDays(rng.range(0, 25000)));
        c.revisione = common::DataIso(QDate(2019, 1, 1).addDays(rng.range(0, 2500)));
        out.append(c);
    }
    return out;
}

void row(const char* what, double figure, double reference, const char* target) {
    std::printf("| %-55s | %8.1f ms | %8.1f ms | %6.2f | %s |\n", what, figure * 1000,
                reference * 1000, reference > 0 ? figure / reference : 0.0, target);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10'000;
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    const QString exported = dir.filePath(QStringLiteral("clienti.vcf"));
    const QString reference = dir.filePath(QStringLiteral("riferimento.vcf"));
    const QList<common::ContattoVCard> list = contacts(n);

    double exportBest = 1e9, buildBest = 1e9, writeRefBest = 1e9, importBest = 1e9, linesBest = 1e9;
    qsizetype bytes = 0, cards = 0, lines = 0;
    for (int run = 0; run < 5; ++run) {
        // Export: the text of every card, then the file.
        Clock::time_point t0 = Clock::now();
        QString text;
        for (const common::ContattoVCard& c : list)
            text += common::ScriviVCard(c);
        buildBest = std::min(buildBest, since(t0));
        common::ScriviFileTesto(exported, text);
        exportBest = std::min(exportBest, since(t0));

        const QByteArray utf8 = text.toUtf8();
        bytes = utf8.size();
        t0 = Clock::now();
        {
            QFile f(reference);
            if (!f.open(QIODevice::WriteOnly) || f.write(utf8) != utf8.size()) return 1;
        }
        writeRefBest = std::min(writeRefBest, since(t0));

        t0 = Clock::now();
        cards = common::LeggiVCard(exported).size();
        importBest = std::min(importBest, since(t0));

        t0 = Clock::now();
        {
            QFile f(exported);
            if (!f.open(QIODevice::ReadOnly)) return 1;
            lines = QString::fromUtf8(f.readAll()).split(u'\n').size();
        }
        linesBest = std::min(linesBest, since(t0));
    }

    std::printf("%d contacts, %lld bytes, %lld lines; %lld cards read back; best of 5\n\n", n,
                (long long)bytes, (long long)lines, (long long)cards);
    std::printf("| %-55s | %11s | %11s | %6s | %s |\n", "measure (figure vs reference)", "figure",
                "reference", "ratio", "target");
    std::printf("|---|---|---|---|---|\n");
    char verdict[64];
    std::snprintf(verdict, sizeof verdict, "export <= 2000 ms: %s",
                  exportBest <= 2.0 ? "PASS" : "MISS");
    row("export (ScriviVCard + ScriviFileTesto) vs QFile::write", exportBest, writeRefBest,
        verdict);
    row("  of which building the text", buildBest, writeRefBest, "info");
    row("import (LeggiVCard) vs readAll + UTF-8 + split", importBest, linesBest, "info");
    return cards == n ? 0 : 2;
}
