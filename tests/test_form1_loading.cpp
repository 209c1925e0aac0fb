#include "Form1Driver.h"
#include "TestStore.h"

#include <QTemporaryDir>
#include <QtTest>

#include <pthread.h>
#include <sys/resource.h>

// The window shows the first record before the rest of the table is read.
// Whatever needs the whole table waits for it and then does what it always
// did; a table found unusable after the window is up ends the program as a
// start-up failure does, and shows nothing of it.
class TestForm1Loading : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    // First, while no thread has ended: the C library keeps the stacks of
    // ended threads for new ones, which then need no address space.
    void noThreadForTheRead();
    void actionsRightAfterStartWaitForTheTable_data();
    void actionsRightAfterStartWaitForTheTable();
    void tableRefusedAfterTheWindowShows();

private:
    QString makeStore(const QString &name, const QString &extraRow = {});
    QTemporaryDir m_dir;
    QString m_large;
};

void TestForm1Loading::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_large = makeStore("large.sqlite");
    QVERIFY(!m_large.isEmpty());
}

// COMMUNE 0 ... COMMUNE 99999, spread over every département number, and an
// extra row at the end when asked.
QString TestForm1Loading::makeStore(const QString &name, const QString &extraRow)
{
    const QString path = m_dir.filePath(name);
    QString sql = "WITH RECURSIVE c(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM c WHERE x < 99999) "
                  "INSERT INTO insee1 SELECT 'COMMUNE ' || x, 2.0 + x % 5, 46.0 + x % 3, "
                  "printf('%02d100', 1 + x % 89), 'DEPARTEMENT ' || (1 + x % 89) FROM c;";
    if (!extraRow.isEmpty())
        sql += QStringLiteral("INSERT INTO insee1 VALUES (%1);").arg(extraRow);
    const bool ok = TestStore().sql(sql).write(path);
    return ok ? path : QString();
}

void TestForm1Loading::actionsRightAfterStartWaitForTheTable_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("shown");
    // clang-format off
    QTest::newRow("search for the last commune") << "search COMMUNE 99999" << "COMMUNE 99999";
    QTest::newRow("search with no match") << "search ZZZ*" << "COMMUNE 0";
    QTest::newRow("next record") << "next" << "COMMUNE 1";
    QTest::newRow("previous record, then next") << "previous next" << "COMMUNE 0";
    // clang-format on
}

void TestForm1Loading::actionsRightAfterStartWaitForTheTable()
{
    QFETCH(QString, action);
    QFETCH(QString, shown);
    // Each action is taken at once, before the event loop could take up the
    // table read in the background.
    form1test::Window w(m_large);
    QCOMPARE(w.form.Label1->text(), QStringLiteral("COMMUNE 0"));
    if (action.startsWith(QLatin1String("search ")))
        w.search(action.mid(7));
    else
        for (const QString &step : action.split(u' '))
            step == QLatin1String("next") ? w.next() : w.previous();
    QCOMPARE(w.form.Label1->text(), shown);
    QCOMPARE(w.form.rstInfo.recordCount(), 100000);
    QVERIFY(w.calls.isEmpty());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestForm1Loading::tableRefusedAfterTheWindowShows()
{
    const QString path = makeStore("long-name.sqlite", "printf('%.*c', 300, 'Z'), 2, 46, '01100', 'AIN'");
    QVERIFY(!path.isEmpty());
    form1test::Window w(path);
    QCOMPARE(w.form.Label1->text(), QStringLiteral("COMMUNE 0"));

    // Refused as soon as the read ends, without any action of the user.
    QTRY_COMPARE_WITH_TIMEOUT(w.loadFailures.size(), 1, 30000);
    QVERIFY2(w.loadFailures.front().contains(path) && w.loadFailures.front().contains("enregistrement 100001 "),
             qPrintable(w.loadFailures.front()));

    // Nothing of the table is shown after that: a search or a step does nothing.
    w.pasteAndSearch(QStringLiteral("COMMUNE 5"));
    w.next();
    QCOMPARE(w.form.Label1->text(), QStringLiteral("COMMUNE 0"));
    QCOMPARE(w.calls, QStringList{"load failure " + w.loadFailures.front()});
}

namespace {

// The address space this process holds now, in bytes.
rlim_t addressSpaceInUse()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:"))
            return rlim_t(line.mid(7).trimmed().split(' ').front().toULongLong()) * 1024;
    return 0;
}

} // namespace

void TestForm1Loading::noThreadForTheRead()
{
#ifdef TOPOVIL_SANITIZED
    QSKIP("AddressSanitizer holds far more address space than any cap leaves");
#endif
    // The bare window: the driver would start the read while it shows it.
    Form1 form;
    QStringList failures;
    form.platform.failLoading = [&failures](QWidget *, const QString &message) { failures << message; };
    form.Form_Load(m_large);

    // Room left for the event loop, not for the stack of one more thread.
    pthread_attr_t defaults;
    size_t stack = 0;
    QCOMPARE(pthread_getattr_default_np(&defaults), 0);
    pthread_attr_getstacksize(&defaults, &stack);
    pthread_attr_destroy(&defaults);
    QVERIFY(stack >= (2u << 20));
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_AS, &old), 0);
    rlimit cap = old;
    cap.rlim_cur = addressSpaceInUse() + stack - (1u << 20);
    QCOMPARE(setrlimit(RLIMIT_AS, &cap), 0);
    {
        const auto uncap = qScopeGuard([&old] { setrlimit(RLIMIT_AS, &old); });
        QTRY_COMPARE_WITH_TIMEOUT(failures.size(), 1, 5000);
    }
    QVERIFY2(failures.front().contains(m_large) && failures.front().contains(QStringLiteral("fil d'exécution")),
             qPrintable(failures.front()));
}

QTEST_MAIN(TestForm1Loading)
#include "test_form1_loading.moc"
