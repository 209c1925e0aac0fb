// The cost of the names proposed to the user: one keystroke's list while
// typing, on the shipped table and on the million-row one, and the names
// proposed after a search that found nothing. The index is made once,
// before timing, as the window makes it on the first keystroke; its own
// making is measured apart.
#include "MillionTable.h"
#include "names/Suggestions.h"
#include "store/DatabaseFile.h"

#include <benchmark/benchmark.h>
#include <map>

namespace {

const QString storePath = QStringLiteral(TOPOVIL_SOURCE_DIR "/data/insee.sqlite");

struct IndexedTable
{
    std::unique_ptr<Database> db;
    std::unique_ptr<SuggestionIndex> index;
};

const IndexedTable &indexed(const QString &path)
{
    static std::map<QString, IndexedTable> tables;
    IndexedTable &table = tables[path];
    if (!table.index) {
        table.db = openDatabase(path);
        table.index =
            std::make_unique<SuggestionIndex>(table.db->openRecordset(QStringLiteral("insee1")), table.db.get());
    }
    return table;
}

// Texts as typed, from the second letter on; SA and ST are the longest
// lists of the table.
const QString typing[] = {QStringLiteral("SA"),   QStringLiteral("ST"),   QStringLiteral("BOR"),
                          QStringLiteral("MARS"), QStringLiteral("LE"),   QStringLiteral("VILLE"),
                          QStringLiteral("Sain"), QStringLiteral("ST ET")};
const QString typos[] = {QStringLiteral("MARSEILE"), QStringLiteral("BORDAUX"),       QStringLiteral("STRASBOUG"),
                         QStringLiteral("TOULOUZE"), QStringLiteral("MONPELLIER"),    QStringLiteral("NANTE"),
                         QStringLiteral("LIMOGE"),   QStringLiteral("CHATEAUROUX EN")};

void whileTyping(benchmark::State &state, const QString &path)
{
    if (path.isEmpty()) {
        state.SkipWithError("no table");
        return;
    }
    const SuggestionIndex &index = *indexed(path).index;
    size_t n = 0;
    size_t listed = 0;
    for (auto _ : state) {
        const std::vector<Suggestion> shown = index.whileTyping(typing[n++ % std::size(typing)]);
        listed += shown.size();
        benchmark::DoNotOptimize(shown.data());
    }
    state.counters["listed"] = benchmark::Counter(double(listed), benchmark::Counter::kAvgIterations);
    state.counters["index_MB"] = double(index.memoryBytes()) / (1 << 20);
}

void BM_SuggestWhileTyping(benchmark::State &state)
{
    whileTyping(state, storePath);
}

void BM_SuggestWhileTypingMillion(benchmark::State &state)
{
    whileTyping(state, benchTables().million);
}

void BM_SuggestAfterTypo(benchmark::State &state)
{
    const SuggestionIndex &index = *indexed(storePath).index;
    size_t n = 0;
    for (auto _ : state) {
        const std::vector<Suggestion> shown = index.afterTypo(typos[n++ % std::size(typos)]);
        benchmark::DoNotOptimize(shown.data());
    }
}

void indexMade(benchmark::State &state, const QString &path)
{
    if (path.isEmpty()) {
        state.SkipWithError("no table");
        return;
    }
    const std::unique_ptr<Database> db = openDatabase(path);
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    for (auto _ : state) {
        const SuggestionIndex index(communes, db.get());
        benchmark::DoNotOptimize(&index);
    }
}

void BM_SuggestionIndexMade(benchmark::State &state)
{
    indexMade(state, storePath);
}

void BM_SuggestionIndexMadeMillion(benchmark::State &state)
{
    indexMade(state, benchTables().million);
}

} // namespace

BENCHMARK(BM_SuggestWhileTyping)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SuggestAfterTypo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SuggestWhileTypingMillion)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SuggestionIndexMade)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SuggestionIndexMadeMillion)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
