#include "ProgramRun.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "cli/CommandLine.h"
#include "cli/CommandLineCommand.h"
#include "store/DataFileLocation.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Where the data file is looked for, and the command line that names one,
// tried on temporary folders only: the real home is never looked at.

namespace {

bool touch(const QString &path, const QByteArray &bytes = "pas une base")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestDataFileLocation : public QObject
{
    Q_OBJECT
private slots:
    void candidatesInOrder();
    void defaultsWhenTheVariablesAreUnsetOrRelative();
    void firstExistingFileWins();
    void parseCommandLine_data();
    void parseCommandLine();
    void helpAndVersionNeedNoData();
    void namedFileIsOpened();
    void missingOrUnusableNamedFileStopsWithStatusOne();
    void userFileIsFoundInXdgDataHome();
    void commandLineLooksBesideTheProgramThroughALink();
    void unknownOptionIsRefused();
};

void TestDataFileLocation::candidatesInOrder()
{
    const DataFilePlaces places{QStringLiteral("/opt/topovil"), QStringLiteral("/home/u"),
                                QStringLiteral("/home/u/data"), QStringLiteral("/a/share:/b/share")};
    QCOMPARE(dataFileCandidates(places), (QStringList{
                                             "/opt/topovil/insee.mdb",
                                             "/home/u/data/topovil/insee.mdb",
                                             "/a/share/topovil/insee.mdb",
                                             "/b/share/topovil/insee.mdb",
                                             "/opt/topovil/insee.sqlite",
                                         }));
}

void TestDataFileLocation::defaultsWhenTheVariablesAreUnsetOrRelative()
{
    const QStringList defaults{
        "/opt/topovil/insee.mdb",
        "/home/u/.local/share/topovil/insee.mdb",
        "/usr/local/share/topovil/insee.mdb",
        "/usr/share/topovil/insee.mdb",
        "/opt/topovil/insee.sqlite",
    };
    QCOMPARE(dataFileCandidates({QStringLiteral("/opt/topovil"), QStringLiteral("/home/u"), {}, {}}), defaults);
    // Relative folders are not valid XDG folders: ignored.
    QCOMPARE(dataFileCandidates({QStringLiteral("/opt/topovil"), QStringLiteral("/home/u"), QStringLiteral("data"),
                                 QStringLiteral("share::rel/x")}),
             defaults);
    QCOMPARE(dataFileCandidates(
                 {QStringLiteral("/opt/topovil"), QStringLiteral("/home/u"), {}, QStringLiteral("rel:/c/share")})
                 .at(2),
             QStringLiteral("/c/share/topovil/insee.mdb"));
    // No home and no XDG_DATA_HOME: no user folder at all.
    QCOMPARE(dataFileCandidates({QStringLiteral("/opt/topovil"), {}, {}, {}}).size(), 4);
}

void TestDataFileLocation::firstExistingFileWins()
{
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("prog"));
    const DataFilePlaces places{program, root.filePath(QStringLiteral("home")), root.filePath(QStringLiteral("dh")),
                                root.filePath(QStringLiteral("d1")) + ':' + root.filePath(QStringLiteral("d2"))};
    // Nothing at all: the shipped table, whose opening will say it is missing.
    QCOMPARE(findDataFile(places), program + "/insee.sqlite");

    const QString shipped = program + "/insee.sqlite";
    const QString second = root.filePath(QStringLiteral("d2/topovil/insee.mdb"));
    const QString first = root.filePath(QStringLiteral("d1/topovil/insee.mdb"));
    const QString user = root.filePath(QStringLiteral("dh/topovil/insee.mdb"));
    const QString beside = program + "/insee.mdb";
    QVERIFY(touch(shipped));
    QCOMPARE(findDataFile(places), shipped);
    QVERIFY(touch(second));
    QCOMPARE(findDataFile(places), second);
    QVERIFY(touch(first));
    QCOMPARE(findDataFile(places), first);
    QVERIFY(touch(user));
    QCOMPARE(findDataFile(places), user);
    QVERIFY(touch(beside));
    QCOMPARE(findDataFile(places), beside);

    // A folder of that name is not a file.
    QVERIFY(QFile::remove(beside));
    QVERIFY(QDir().mkpath(beside));
    QCOMPARE(findDataFile(places), user);
}

void TestDataFileLocation::parseCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("file");
    using A = CommandLine::Action;
    // clang-format off
    QTest::newRow("nothing") << QStringList{} << int(A::Run) << QString();
    QTest::newRow("a file") << QStringList{"communes.mdb"} << int(A::Run) << "communes.mdb";
    QTest::newRow("help") << QStringList{"--help"} << int(A::Help) << QString();
    QTest::newRow("-h") << QStringList{"-h"} << int(A::Help) << QString();
    QTest::newRow("version") << QStringList{"--version"} << int(A::Version) << QString();
    QTest::newRow("help wins") << QStringList{"--bogus", "a", "b", "--help"} << int(A::Help) << QString();
    QTest::newRow("unknown option") << QStringList{"--bogus"} << int(A::Error) << QString();
    QTest::newRow("two files") << QStringList{"a.mdb", "b.mdb"} << int(A::Error) << QString();
    QTest::newRow("empty name") << QStringList{""} << int(A::Error) << QString();
    QTest::newRow("after --") << QStringList{"--", "-fichier.mdb"} << int(A::Run) << "-fichier.mdb";
    QTest::newRow("--help after --") << QStringList{"--", "--help"} << int(A::Run) << "--help";
    QTest::newRow("lone dash is a file") << QStringList{"-"} << int(A::Run) << "-";
    QTest::newRow("search") << QStringList{"--chercher", "paris"} << int(A::Search) << QString();
    QTest::newRow("search in a file") << QStringList{"--chercher", "paris", "a.mdb"} << int(A::Search) << "a.mdb";
    QTest::newRow("file before the search") << QStringList{"a.mdb", "--chercher=paris"} << int(A::Search) << "a.mdb";
    QTest::newRow("search text starting with -") << QStringList{"--chercher", "-x"} << int(A::Search) << QString();
    QTest::newRow("search without text") << QStringList{"--chercher"} << int(A::Error) << QString();
    QTest::newRow("search, two files") << QStringList{"--chercher", "x", "a", "b"} << int(A::Error) << QString();
    QTest::newRow("search twice") << QStringList{"--chercher", "x", "--chercher=y"} << int(A::Error) << QString();
    QTest::newRow("batch of standard input") << QStringList{"--lot", "-", "a.mdb"} << int(A::Batch) << "a.mdb";
    QTest::newRow("batch and search") << QStringList{"--lot", "-", "--chercher", "x"} << int(A::Error) << QString();
    QTest::newRow("postal code column alone") << QStringList{"--lot", "-", "--colonne-cp", "cp"} << int(A::Error) << QString();
    QTest::newRow("header without a search") << QStringList{"--entete"} << int(A::Error) << QString();
    QTest::newRow("window system options") << withoutWindowSystemOptions({"-platform", "xcb", "--style=fusion", "-reverse", "a.mdb"}) << int(A::Run) << "a.mdb";
    // clang-format on
}

void TestDataFileLocation::parseCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QString, file);
    const CommandLine line = CommandLine::parse(arguments);
    QCOMPARE(int(line.action), action);
    QCOMPARE(line.dataFile, file);
    QCOMPARE(line.error.isEmpty(), line.action != CommandLine::Action::Error);
}

void TestDataFileLocation::helpAndVersionNeedNoData()
{
    QTemporaryDir root;
    const ProgramRun help = runProgram(root, {QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY2(help.out.startsWith(QStringLiteral("Utilisation : topovil [FICHIER]")), qPrintable(help.out));
    QVERIFY(help.out.contains(QStringLiteral("XDG_DATA_HOME")));
    QCOMPARE(help.out, commandLineHelp());
    const ProgramRun version = runProgram(root, {QStringLiteral("--version")});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QStringLiteral("Topovil 4.01\n"));
}

void TestDataFileLocation::namedFileIsOpened()
{
    QTemporaryDir root;
    // Nothing beside the program: only the named file can be opened.
    const QString store = root.filePath(QStringLiteral("ailleurs/mes communes.sqlite"));
    QDir().mkpath(QFileInfo(store).path());
    QVERIFY(writeCommuneStore(store, {commune("PARIS", 2.3428, 48.85661, "75001", "PARIS")}));
    const QString folder = root.filePath(QStringLiteral("programme"));
    QDir().mkpath(folder);
    QVERIFY(copyProgram(folder));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("maison")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(folder + "/topovil", {store});
    QVERIFY(process.waitForStarted());
    // Still running after a while: it opened the file and shows its window.
    QVERIFY2(!process.waitForFinished(3000), process.readAllStandardError().constData());
    process.kill();
    process.waitForFinished();
}

void TestDataFileLocation::missingOrUnusableNamedFileStopsWithStatusOne()
{
    QTemporaryDir root;
    const QString missing = root.filePath(QStringLiteral("absent.mdb"));
    const ProgramRun absent = runProgram(root, {missing});
    QCOMPARE(absent.status, 1);
    QVERIFY2(absent.err.contains(QStringLiteral("Topovil :")) && absent.err.contains(missing), qPrintable(absent.err));
    QVERIFY(absent.err.contains(QStringLiteral("introuvable")));

    const QString notes = root.filePath(QStringLiteral("notes.mdb"));
    QVERIFY(touch(notes));
    const ProgramRun unusable = runProgram(root, {notes});
    QCOMPARE(unusable.status, 1);
    QVERIFY2(unusable.err.contains(notes), qPrintable(unusable.err));
}

void TestDataFileLocation::userFileIsFoundInXdgDataHome()
{
    QTemporaryDir root;
    // An unusable file in each place: the message names the one chosen.
    const QString system = root.filePath(QStringLiteral("systeme/topovil/insee.mdb"));
    QVERIFY(touch(system));
    ProgramRun run = runProgram(root, {});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(system), qPrintable(run.err));

    const QString user = root.filePath(QStringLiteral("maison/donnees/topovil/insee.mdb"));
    QVERIFY(touch(user));
    run = runProgram(root, {});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(user), qPrintable(run.err));

    // The file beside the program comes first.
    const QString beside = root.filePath(QStringLiteral("programme/insee.mdb"));
    QVERIFY(touch(beside));
    run = runProgram(root, {});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(beside), qPrintable(run.err));
}

// Started through a link in another folder, the command line looks for the
// data file beside the program itself, not beside the link.
void TestDataFileLocation::commandLineLooksBesideTheProgramThroughALink()
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("programme"));
    QDir().mkpath(folder);
    QVERIFY(copyProgram(folder));
    QVERIFY(writeCommuneStore(folder + "/insee.mdb", {commune("PARIS", 2.3428, 48.85661, "75001", "PARIS")}));
    const QString link = root.filePath(QStringLiteral("raccourci/topovil"));
    QDir().mkpath(QFileInfo(link).path());
    QVERIFY(QFile::link(folder + "/topovil", link));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("maison")));
    env.insert(QStringLiteral("XDG_DATA_DIRS"), root.filePath(QStringLiteral("systeme")));
    process.setProcessEnvironment(env);
    process.start(link, {QStringLiteral("--chercher"), QStringLiteral("paris")});
    QVERIFY(process.waitForFinished(20000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    QVERIFY(process.readAllStandardOutput().startsWith("PARIS\t75001\t"));
}

void TestDataFileLocation::unknownOptionIsRefused()
{
    QTemporaryDir root;
    const ProgramRun run = runProgram(root, {QStringLiteral("--bogus")});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(QStringLiteral("option inconnue : --bogus")), qPrintable(run.err));
    QVERIFY(run.err.contains(QStringLiteral("--help")));
}

QTEST_MAIN(TestDataFileLocation)
#include "test_data_file_location.moc"
