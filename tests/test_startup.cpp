#include "ProgramRun.h"
#include "Shown.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "app/Form1.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "widgets/MapWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Start-up: which file is opened, the first record shown, and every way the
// data file can be unusable.
class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void accessFileIsPreferredWhenPresent();
    void firstRecordShown_data();
    void firstRecordShown();
    void firstRecordFromAnAccessFile();
    void unusableData_data();
    void unusableData();
    void programExitsWithStatusOneOnBadData();
    void programStartsOnGoodData();

private:
    QTemporaryDir m_dir;
    QString storeWith(const std::vector<std::vector<QVariant>> &rows, const QString &table = "insee1");
};

static const auto abergement = commune("L ABERGEMENT CLEMENCIAT", 4.92582, 46.15343, "01400", "AIN");

QString TestStartup::storeWith(const std::vector<std::vector<QVariant>> &rows, const QString &table)
{
    return writeNumberedStore(m_dir, rows, table);
}

void TestStartup::accessFileIsPreferredWhenPresent()
{
    QTemporaryDir dir;
    QCOMPARE(communeDataPath(dir.path()), dir.filePath("insee.sqlite"));
    QFile mdb(dir.filePath("insee.mdb"));
    QVERIFY(mdb.open(QIODevice::WriteOnly));
    mdb.close();
    QCOMPARE(communeDataPath(dir.path()), dir.filePath("insee.mdb"));
    // A directory given with its separator still names the file once.
    QCOMPARE(communeDataPath(dir.path() + "/"), dir.filePath("insee.mdb"));
}

void TestStartup::firstRecordShown_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("longitude");
    QTest::addColumn<QString>("latitude");
    // clang-format off
    QTest::newRow("French") << QLocale(QLocale::French, QLocale::France) << "4,92582" << "46,15343";
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "4.92582" << "46.15343";
    // clang-format on
}

void TestStartup::firstRecordShown()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, longitude);
    QFETCH(QString, latitude);
    QLocale::setDefault(locale);
    const QString path = storeWith({abergement, commune("L ABERGEMENT DE VAREY", 5.42, 46.0, "01640", "AIN")});
    Form1 form;
    form.Form_Load(path);
    QCOMPARE(form.Label1->text(), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
    QCOMPARE(form.Label11->text(), longitude);
    QCOMPARE(form.Label12->text(), latitude);
    QCOMPARE(form.Label10->text(), QStringLiteral("01400"));
    QCOMPARE(form.Label8->text(), QStringLiteral("AIN"));
    QCOMPARE(form.Text9->text(), QStringLiteral("01")); // the leading zero stays at start-up
    QCOMPARE(form.deptNumber, DeptNumber(0));
    // Nothing else is shown before the first search or step.
    QCOMPARE(form.Label5->text(), QString());
    QCOMPARE(form.Label20->text(), QStringLiteral("Départements"));
    // The first record's own locator, not the design's caption IN93WG.
    QCOMPARE(form1test::locatorShown(form), QStringLiteral("JN26LD"));
    QCOMPARE(form.Picture1->picture().image(), form.Picture1->picture().stored());
}

void TestStartup::firstRecordFromAnAccessFile()
{
    const QString sample = fixturePath("insee-mdb/insee-sample.mdb");
    REQUIRE_SHARED_FILE(sample);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    Form1 form;
    form.Form_Load(sample);
    QCOMPARE(form.Label1->text(), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
    QCOMPARE(form.Label10->text(), QStringLiteral("01400"));
    QVERIFY2(form.Label11->text().contains(u','), qPrintable(form.Label11->text()));
    QCOMPARE(form.Text9->text(), QStringLiteral("01"));
}

void TestStartup::unusableData_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("cause");

    // clang-format off
    QTest::newRow("missing") << m_dir.filePath("absent.sqlite") << "introuvable";
    // clang-format on
    const QString text = m_dir.filePath("notes.sqlite");
    QFile file(text);
    if (!file.open(QIODevice::WriteOnly) || file.write("Ceci n'est pas une base.\n") < 0)
        qFatal("cannot write");
    file.close();
    // clang-format off
    QTest::newRow("not a database") << text << "ni une base Access ni une base SQLite";
    // clang-format on

    const QString whole = storeWith({abergement});
    const QString truncated = m_dir.filePath("truncated.sqlite");
    QFile::copy(whole, truncated);
    QFile cut(truncated);
    if (!cut.resize(1000))
        qFatal("cannot cut");
    // clang-format off
    QTest::newRow("truncated") << truncated << "";
    QTest::newRow("no insee1") << storeWith({abergement}, "communes") << "insee1";
    QTest::newRow("empty table") << storeWith({}) << "aucune commune";
    QTest::newRow("null commune") << storeWith({commune({}, 4.9, 46.1, "01400", "AIN")}) << "commune";
    QTest::newRow("null latitude") << storeWith({commune("A", 4.9, {}, "01400", "AIN")}) << "latitude";
    QTest::newRow("null codepos") << storeWith({commune("A", 4.9, 46.1, {}, "AIN")}) << "codepos";
    // clang-format on

    const QString noTable = fixturePath("insee-mdb/no-insee1.mdb");
    if (QFileInfo::exists(noTable)) {
        // clang-format off
        QTest::newRow("Access without insee1") << noTable << "insee1";
        QTest::newRow("Access empty") << fixturePath("insee-mdb/insee-empty.mdb") << "aucune commune";
        QTest::newRow("Access null") << fixturePath("insee-mdb/insee-nulls.mdb") << "";
        // clang-format on
    }
}

void TestStartup::unusableData()
{
    QFETCH(QString, path);
    QFETCH(QString, cause);
    try {
        Form1 form;
        form.Form_Load(path);
        if (path.endsWith("insee-nulls.mdb"))
            return; // its first record is whole; the NULLs come later
        QFAIL("start-up accepted unusable data");
    } catch (const DatabaseError &error) {
        QVERIFY2(error.message().contains(path), qPrintable(error.message()));
        QVERIFY2(error.message().contains(cause), qPrintable(error.message()));
    }
}

// Runs a copy of the program from a directory holding the given data file.
static QProcess *startProgramWith(const QTemporaryDir &dir, const QString &dataFile, const QString &asName)
{
    const QString program = dir.filePath("topovil");
    if (!copyProgram(dir.path()))
        qFatal("cannot copy the program");
    QFile::remove(dir.filePath("insee.sqlite"));
    QFile::remove(dir.filePath("insee.mdb"));
    if (!dataFile.isEmpty())
        QFile::copy(dataFile, dir.filePath(asName));
    auto *process = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process->setProcessEnvironment(env);
    process->start(program, {});
    return process;
}

void TestStartup::programExitsWithStatusOneOnBadData()
{
    QTemporaryDir dir;
    struct Case
    {
        QString data;
        QString as;
    };
    const QString notes = dir.filePath("notes.txt");
    QFile file(notes);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("pas une base");
    file.close();
    const Case cases[] = {
        {QString(), QString()},
        {notes, "insee.sqlite"},
        {notes, "insee.mdb"},
        {storeWith({}), "insee.sqlite"},
    };
    for (const Case &c : cases) {
        std::unique_ptr<QProcess> process(startProgramWith(dir, c.data, c.as));
        QVERIFY(process->waitForFinished(20000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 1);
        const QString error = QString::fromUtf8(process->readAllStandardError());
        QVERIFY2(error.contains("Topovil :") && error.contains(dir.path()), qPrintable(error));
    }
}

void TestStartup::programStartsOnGoodData()
{
    QTemporaryDir dir;
    std::unique_ptr<QProcess> process(startProgramWith(dir, storeWith({abergement}), "insee.sqlite"));
    QVERIFY(process->waitForStarted());
    // Still running after a while: it opened the data and shows its window.
    QVERIFY2(!process->waitForFinished(3000), process->readAllStandardError().constData());
    process->kill();
    process->waitForFinished();
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
