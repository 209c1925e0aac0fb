// The cost of a search on the shipped table, as the search button runs it:
// the pattern compiled once, the query reopened, every name tested in table
// order. SQLite's own scan of the same file is the yardstick. Then the
// window's own handlers: a search that shows PARIS, a record step, a display.
#include "HeadlessBenchmarks.h"
#include "MillionTable.h"
#include "app/Form1.h"
#include "names/CommuneSearch.h"
#include "search/FindCommunes.h"
#include "search/SearchMatches.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MapWidget.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QString storePath = QStringLiteral(TOPOVIL_SOURCE_DIR "/data/insee.sqlite");

Database &shippedStore()
{
    static const std::unique_ptr<Database> db = openDatabase(storePath);
    return *db;
}

Database &millionTable()
{
    static const std::unique_ptr<Database> db = openDatabase(benchTables().million);
    return *db;
}

void runSearch(benchmark::State &state, const QString &patternText, Database &db = shippedStore())
{
    ScanResult scan;
    int position = -1;
    db.openQuery(QStringLiteral("SELECT * FROM INSEE1")); // the table is read once, before timing
    for (auto _ : state) {
        const auto pattern = NamePattern::compile(patternText);
        Recordset records = db.openQuery(QStringLiteral("SELECT * FROM INSEE1"));
        records.moveFirst();
        scan = scanForCommune(records, *pattern);
        position = records.position();
        benchmark::DoNotOptimize(position);
    }
    state.counters["found"] = scan.found;
    state.counters["records_read"] = position + (scan.found ? 1 : 0);
}

void BM_SearchNoMatch(benchmark::State &state)
{
    runSearch(state, QStringLiteral("ZZZ*"));
}

void BM_SearchNoMatchMillion(benchmark::State &state)
{
    if (benchTables().million.isEmpty()) {
        state.SkipWithError("cannot make the million-row table");
        return;
    }
    runSearch(state, QStringLiteral("ZZZ*"), millionTable());
}

// Names as long as a table may hold, and patterns whose middles with
// wildcards fail late at every place: the worst a search can be asked.
Database &longNamesTable()
{
    static QTemporaryDir dir;
    static const std::unique_ptr<Database> db = [] {
        const QString path = dir.filePath(QStringLiteral("long.sqlite"));
        sqlite3 *handle = nullptr;
        sqlite3_open(path.toUtf8().constData(), &handle);
        sqlite3_exec(handle,
                     "CREATE TABLE insee1 (commune TEXT, longitude REAL, latitude REAL, codepos TEXT, "
                     "departement TEXT);"
                     "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 34875) "
                     "INSERT INTO insee1 SELECT printf('%.*c', 255, 'A'), 1, 2, '01000', 'AIN' FROM c",
                     nullptr, nullptr, nullptr);
        sqlite3_close(handle);
        return openDatabase(path);
    }();
    return *db;
}

void BM_SearchWorstCase(benchmark::State &state)
{
    const QString patterns[] = {
        QStringLiteral("*") + QStringLiteral("?A").repeated(64) + QStringLiteral("B*"),
        QStringLiteral("*") + QString(200, u'A') + QStringLiteral("B*"),
        QStringLiteral("*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*[A]*B"),
        QStringLiteral("*") + QStringLiteral("[A-Z]").repeated(250) + QStringLiteral("B*"),
    };
    runSearch(state, patterns[state.range(0)], longNamesTable());
}

void BM_SearchNameNearEnd(benchmark::State &state)
{
    runSearch(state, QStringLiteral("SADA"));
}

void BM_SearchManyStars(benchmark::State &state)
{
    runSearch(state, QStringLiteral("*A*A*A*A*A*B"));
}

// The most common name of the shipped table (twelve communes): every match
// found, then one line of the list for each.
void BM_MatchListMostCommonName(benchmark::State &state)
{
    const Recordset records = shippedStore().openQuery(QStringLiteral("SELECT * FROM INSEE1"));
    size_t lines = 0;
    for (auto _ : state) {
        const auto pattern = NamePattern::compile(u"STE COLOMBE");
        const SearchMatches matches(findAllCommunes(records, *pattern), MatchKind::Name);
        QStringList list;
        for (int i = 0; i < std::min(matches.count(), MaxListedMatches); ++i)
            list << matchLine(records, matches, i);
        lines = size_t(list.size());
        benchmark::DoNotOptimize(list);
    }
    state.counters["lines"] = double(lines);
}

// A name that only an other name bears: the whole of insee1 is read in
// vain, then the table of other names.
void BM_SearchOtherName(benchmark::State &state)
{
    Database &db = shippedStore();
    const Recordset records = db.openQuery(QStringLiteral("SELECT * FROM INSEE1"));
    const std::optional<Query> query = Query::make(u"CHERBOURG OCTEVILLE");
    SearchTables once(db, records);
    findCommunes(once, *query); // the other names are read once, before timing
    int found = 0;
    for (auto _ : state) {
        SearchTables tables(db, records); // as the window searches
        found = findCommunes(tables, *query).count();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = found;
}

// The whole search for a typed text, as the window and the command line run
// it; the tables it reads are read once, before timing.
void runFindCommunes(benchmark::State &state, const QString &typed)
{
    Database &db = shippedStore();
    const Recordset records = db.openQuery(QStringLiteral("SELECT * FROM INSEE1"));
    SearchTables once(db, records);
    findCommunes(once, *Query::make(typed));
    int found = 0;
    for (auto _ : state) {
        // The window makes the query and its tables at each search.
        SearchTables tables(db, records);
        found = findCommunes(tables, *Query::make(typed)).count();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = found;
}

// Nothing anywhere: every name, the other names, the history and the
// article's four forms are read in vain.
void BM_FindCommunesNoMatch(benchmark::State &state)
{
    runFindCommunes(state, QStringLiteral("ZZZ*"));
}

// A former INSEE code: today's codes, then the former ones.
void BM_SearchInseeCode(benchmark::State &state)
{
    runFindCommunes(state, QStringLiteral("74011"));
}

// A name merged away in 1943: insee1 and the other names in vain, then the
// history.
void BM_SearchFormerName(benchmark::State &state)
{
    runFindCommunes(state, QStringLiteral("VOISINLIEU"));
}

void BM_SqliteGlobScan(benchmark::State &state)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(storePath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        state.SkipWithError("cannot open the shipped store");
        sqlite3_close(db);
        return;
    }
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *select = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM insee1 WHERE commune GLOB 'ZZZ*'", -1, &select, nullptr);
        rows = 0;
        while (sqlite3_step(select) == SQLITE_ROW)
            ++rows;
        sqlite3_finalize(select);
        benchmark::DoNotOptimize(rows);
    }
    sqlite3_close(db);
    state.counters["rows"] = rows;
}

// One window on the shipped store, shared by the window benchmarks.
Form1 &window()
{
    static Form1 *form = [] {
        auto *f = new Form1;
        f->platform.showMessage = [](QWidget *, const QString &) {};
        f->Form_Load(storePath);
        f->show();
        return f;
    }();
    return *form;
}

void BM_WindowSearchParis(benchmark::State &state)
{
    Form1 &form = window();
    for (auto _ : state) {
        form.Text7->setText(QStringLiteral("PARIS"));
        form.cherche_Click();
    }
    if (form.Label1->text() != QLatin1String("PARIS"))
        state.SkipWithError("PARIS not shown");
}

void BM_WindowSearchOtherName(benchmark::State &state)
{
    Form1 &form = window();
    for (auto _ : state) {
        form.Text7->setText(QStringLiteral("CHERBOURG OCTEVILLE"));
        form.cherche_Click();
    }
    if (form.Label1->text() != QLatin1String("CHERBOURG EN COTENTIN"))
        state.SkipWithError("CHERBOURG EN COTENTIN not shown");
}

void BM_WindowRecordStep(benchmark::State &state)
{
    Form1 &form = window();
    form.Text7->setText(QStringLiteral("PARIS"));
    form.cherche_Click();
    bool forward = true;
    for (auto _ : state) {
        forward ? form.apres_Click() : form.avant_Click();
        forward = !forward;
    }
}

void BM_WindowShowCurrentRecord(benchmark::State &state)
{
    Form1 &form = window();
    form.Text7->setText(QStringLiteral("BREST"));
    form.cherche_Click();
    for (auto _ : state) {
        // Red, as after a scan that skipped records: the whole display runs,
        // the map reset included.
        form.cherche->setBackColor(QColor(255, 0, 0));
        form.showCurrentRecord();
    }
}

} // namespace

BENCHMARK(BM_SearchNoMatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SqliteGlobScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchOtherName)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindCommunesNoMatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchInseeCode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchFormerName)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MatchListMostCommonName)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchNoMatchMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchWorstCase)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchNameNearEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchManyStars)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowSearchParis)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowSearchOtherName)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowRecordStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowShowCurrentRecord)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    return runHeadlessBenchmarks(argc, argv);
}
