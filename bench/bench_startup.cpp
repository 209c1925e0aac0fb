// How long the program takes to come up.
//
// In process: building the main window, opening the shipped store and
// searching PARIS; and the same up to the moment the window is shown
// (exposed), with the application already running.
//
// Fresh process: this benchmark started again as a child that does what the
// program's main does (application object, window, data, show) and reports
// when its window is exposed. Timed from the start of the child process, and
// from the first line of the child's main.
//
// Whole process: the program, started from a directory whose data file is
// not a database, exits with status 1 right after trying to open it. That
// run covers process start, loading of the libraries and Qt's start-up, so
// it bounds from above what the program costs before it opens its data.
//
// Runs with QT_QPA_PLATFORM=offscreen unless told otherwise.
#include "HeadlessBenchmarks.h"
#include "MillionTable.h"
#include "ResidentMemory.h"
#include "app/Form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtWidgets/qtestsupport_widgets.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

namespace {

QString shippedStore()
{
    return QStringLiteral(TOPOVIL_SOURCE_DIR "/data/insee.sqlite");
}

// A directory holding a copy of the program beside a data file that is no
// database.
struct BrokenInstall
{
    QTemporaryDir dir;
    QString program;
    QString problem;

    BrokenInstall()
    {
        program = dir.filePath(QStringLiteral("topovil"));
        const QString built = QStringLiteral(TOPOVIL_BINARY_DIR "/topovil");
        if (!QFileInfo::exists(built)) {
            problem = QStringLiteral("the program is not built: ") + built;
            return;
        }
        QFile data(dir.filePath(QStringLiteral("insee.sqlite")));
        // topovil starts the window, topovil-fenetre, from its own folder.
        if (!QFile::copy(built, program)
            || !QFile::copy(built + QStringLiteral("-fenetre"), program + QStringLiteral("-fenetre"))
            || !data.open(QIODevice::WriteOnly) || data.write("Ceci n'est pas une base.\n") < 0) {
            problem = QStringLiteral("cannot prepare ") + dir.path();
        }
    }
};

void BM_LoadAndSearchParis(benchmark::State &state)
{
    if (!QFileInfo::exists(shippedStore())) {
        state.SkipWithError("the shipped store is absent");
        return;
    }
    for (auto _ : state) {
        Form1 form;
        form.Form_Load(shippedStore());
        form.Text7->setText(QStringLiteral("PARIS"));
        form.cherche_Click();
        benchmark::DoNotOptimize(form.state.seed);
        if (form.Text9->text() != QLatin1String("75")) {
            state.SkipWithError("PARIS was not found");
            return;
        }
    }
}

void BM_StartToWindowShownInProcess(benchmark::State &state)
{
    if (!QFileInfo::exists(shippedStore())) {
        state.SkipWithError("the shipped store is absent");
        return;
    }
    for (auto _ : state) {
        std::optional<Form1> form;
        form.emplace();
        form->Form_Load(shippedStore());
        form->show();
        if (!QTest::qWaitForWindowExposed(&*form)) {
            state.SkipWithError("the window was never exposed");
            return;
        }
        state.PauseTiming();
        form.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

constexpr const char *showOnceFlag = "--show-window-once";

// The tables a fresh process is timed on: range(1) of the benchmark.
QString tableForRun(int64_t which)
{
    switch (which) {
    case 0:
        return shippedStore();
    case 1:
        return benchTables().oneRow;
    default:
        return benchTables().million;
    }
}

// The child's part: main's steps on the given data file, then the time since
// its first line; then, once the whole table is read, its resident memory.
int showWindowOnce(int argc, char **argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    Form1 form;
    form.Form_Load(QString::fromLocal8Bit(argv[argc - 1]));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 2;
    std::printf("shown %lld\n", static_cast<long long>(sinceMain.nsecsElapsed()));
    std::fflush(stdout);
    while (form.data.database()->isLoading())
        QThread::msleep(5);
    QCoreApplication::processEvents();
    std::printf("resident %lld\n", static_cast<long long>(residentBytes()));
    std::fflush(stdout);
    return 0;
}

struct ChildRun
{
    double fromStart = 0;   // seconds from the process start to the window exposed
    double fromMain = 0;    // the same from the child's main
    double residentMiB = 0; // after the whole table is read
};

// Starts a child that shows the window once on a data file.
std::optional<ChildRun> timeChildWindow(const QString &dataPath)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess process;
    process.setProcessEnvironment(env);
    QElapsedTimer sinceStart;
    sinceStart.start();
    process.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(showOnceFlag), dataPath});
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(30000))
            return std::nullopt;
    }
    ChildRun run;
    run.fromStart = double(sinceStart.nsecsElapsed()) * 1e-9;
    const QByteArray shown = process.readLine().trimmed();
    process.waitForFinished(60000);
    const QByteArray resident = process.readLine().trimmed();
    if (!shown.startsWith("shown ") || !resident.startsWith("resident "))
        return std::nullopt;
    run.fromMain = shown.mid(6).toDouble() * 1e-9;
    run.residentMiB = resident.mid(9).toDouble() / (1 << 20);
    return run;
}

// range(0): 0 times from the process start, 1 from the child's main.
// range(1): the data file: 0 the shipped store, 1 its first row alone,
// 2 a million rows. resident_MiB: the child's memory once the table is read.
void BM_FreshProcessToWindowShown(benchmark::State &state)
{
    const QString dataPath = tableForRun(state.range(1));
    if (!QFileInfo::exists(dataPath)) {
        state.SkipWithError("the data file is absent");
        return;
    }
    double resident = 0;
    for (auto _ : state) {
        const auto run = timeChildWindow(dataPath);
        if (!run) {
            state.SkipWithError("the child never showed its window");
            return;
        }
        state.SetIterationTime(state.range(0) == 0 ? run->fromStart : run->fromMain);
        resident = run->residentMiB;
    }
    state.counters["resident_MiB"] = resident;
}

void BM_ProcessStartOnBrokenData(benchmark::State &state)
{
    static BrokenInstall install;
    if (!install.problem.isEmpty()) {
        state.SkipWithError(qPrintable(install.problem));
        return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(install.program, {});
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 1) {
            state.SkipWithError("the program did not exit with status 1");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_LoadAndSearchParis)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_StartToWindowShownInProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FreshProcessToWindowShown)
    ->ArgNames({"from_main", "table"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ProcessStartOnBrokenData)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], showOnceFlag) == 0)
        return showWindowOnce(argc, argv);
    return runHeadlessBenchmarks(argc, argv);
}
