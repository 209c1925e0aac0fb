// The cost of one search: the pattern compiled once, then tested against
// every commune name in table order, as the search button does.
#include "communes/DatabaseError.h"
#include "communes/DatabaseFile.h"
#include "communes/LikePattern.h"

#include <QFileInfo>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int syntheticCount = 35000;

QStringList readShippedNames()
{
    const QString path = QStringLiteral(TOPOVIL_SOURCE_DIR "/data/insee.sqlite");
    QStringList names;
    if (!QFileInfo::exists(path))
        return names;
    try {
        auto db = openDatabase(path);
        Recordset rst = db->openRecordset(QStringLiteral("insee1"));
        for (; !rst.isEof(); rst.moveNext())
            names << rst.fieldText(u"commune");
    } catch (const DatabaseError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        names.clear();
    }
    return names;
}

// Names of the same shape as the real ones, for a checkout whose store is
// still a placeholder.
QStringList syntheticNames()
{
    static const char *const stems[] = {"SAINT-", "LE ", "LA ", "", "VILLE", "MONT", "BOURG", "NEUF"};
    QStringList names;
    names.reserve(syntheticCount);
    for (int i = 0; i < syntheticCount; ++i) {
        names << QStringLiteral("%1COMMUNE%2%3")
                     .arg(QString::fromLatin1(stems[i % 8]))
                     .arg(i, 5, 10, QLatin1Char('0'))
                     .arg(QString(i % 13, u'A'));
    }
    return names;
}

const QStringList &communeNames()
{
    static const QStringList names = [] {
        QStringList found = readShippedNames();
        if (found.size() >= 1000) {
            std::fprintf(stderr, "bench_search: %lld names from the shipped store\n",
                         static_cast<long long>(found.size()));
            return found;
        }
        std::fprintf(stderr, "bench_search: shipped store has %lld names, using %d synthetic names\n",
                     static_cast<long long>(found.size()), syntheticCount);
        return syntheticNames();
    }();
    return names;
}

// The index of the first match, or -1: the search loop without the window.
qsizetype firstMatch(const QStringList &names, const LikePattern &pattern)
{
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (likeMatch(names[i], pattern))
            return i;
    }
    return -1;
}

void runSearch(benchmark::State &state, const QString &patternText)
{
    const QStringList &names = communeNames();
    qsizetype found = -1;
    for (auto _ : state) {
        const auto pattern = LikePattern::compile(patternText);
        if (!pattern) {
            state.SkipWithError("pattern refused");
            return;
        }
        found = firstMatch(names, *pattern);
        benchmark::DoNotOptimize(found);
    }
    state.counters["names"] = double(names.size());
    state.counters["found_at"] = double(found);
    state.SetItemsProcessed(state.iterations() * (found < 0 ? names.size() : found + 1));
}

void BM_SearchNoMatch(benchmark::State &state)
{
    runSearch(state, QStringLiteral("ZZZZ"));
}

void BM_SearchNameNearEnd(benchmark::State &state)
{
    const QStringList &names = communeNames();
    runSearch(state, names.at(names.size() - 2));
}

void BM_SearchManyStars(benchmark::State &state)
{
    runSearch(state, QStringLiteral("*A*A*A*A*A*B"));
}

void BM_SearchPrefix(benchmark::State &state)
{
    runSearch(state, QStringLiteral("SAINT-[!A-M]*#"));
}

} // namespace

BENCHMARK(BM_SearchNoMatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchNameNearEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchManyStars)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchPrefix)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
