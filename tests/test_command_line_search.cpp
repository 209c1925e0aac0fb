#include "CommuneStore.h"
#include "ProgramRun.h"
#include "TestPaths.h"
#include "geo/MaidenheadLocator.h"

#include <QtTest>

// The line of the BREST of the test store; its locator is the one the
// window computes.
static QString brestLine()
{
    return "BREST\t29200\t-4.48628\t48.39003\tFINISTERE\t" + maidenheadLocator(48.39003, -4.48628) + "\t\t\t29\n";
}

// topovil --chercher TEXTE [FICHIER], run as the user runs it: no window,
// no display, lines on standard output and a status.
class TestCommandLineSearch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void statusAndLines_data();
    void statusAndLines();
    void decimalPointWhateverTheLocale_data();
    void decimalPointWhateverTheLocale();
    void withoutFileUsesTheWindowsDataFile();
    void shippedTableHasTwelveOfTheCommonestName();
    void shippedPostalCodeGivesTheCodeThatMatched();
    void shippedOtherNameGivesASeventhField();

private:
    QTemporaryDir m_root;
    QString m_store;
};

void TestCommandLineSearch::initTestCase()
{
    m_store = m_root.filePath(QStringLiteral("communes.sqlite"));
    QVERIFY(writeCommuneStore(m_store, {
                                           commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                                           commune("Sainte-Marie", 9.0, 42.0, "20000", "CORSE"),
                                           commune("BREST", -4.48628, 48.39003, "29200", "FINISTERE"),
                                           commune("STE MARIE", -61.01759, 14.76922, "97230", "MARTINIQUE"),
                                           commune("SANS POSITION", {}, {}, "89000", "YONNE"),
                                       }));
}

void TestCommandLineSearch::statusAndLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("errStart");
    const QString store = m_store;
    // clang-format off
    QTest::newRow("one commune") << QStringList{"--chercher", "paris", store} << 0 << "PARIS\t75001\t2.3428\t48.85661\tPARIS\t" + maidenheadLocator(48.85661, 2.3428) + "\t\t\t75\n" << "";
    QTest::newRow("homonyms in table order") << QStringList{"--chercher", "Sainte-Marie", store} << 0 << "Sainte-Marie\t20000\t9\t42\tCORSE\t" + maidenheadLocator(42.0, 9.0) + "\t\t\t20\nSTE MARIE\t97230\t-61.01759\t14.76922\tMARTINIQUE\tFK94LS\t\t\t972\n" << "";
    QTest::newRow("option after the file") << QStringList{store, "--chercher=brest"} << 0 << brestLine() << "";
    QTest::newRow("empty position") << QStringList{"--chercher", "sans position", store} << 0 << "SANS POSITION\t89000\t\t\tYONNE\t\t\t\t89\n" << "";
    QTest::newRow("postal code in codepos") << QStringList{"--chercher", "20000", store} << 0 << "Sainte-Marie\t20000\t9\t42\tCORSE\t" + maidenheadLocator(42.0, 9.0) + "\t\t\t20\n" << "";
    QTest::newRow("postal code, none") << QStringList{"--chercher", "99*", store} << 1 << "" << "";
    QTest::newRow("locator square") << QStringList{"--chercher", "IN78", store} << 0 << brestLine() << "";
    QTest::newRow("nothing matches") << QStringList{"--chercher", "nulle part", store} << 1 << "" << "";
    QTest::newRow("malformed pattern") << QStringList{"--chercher", "[a", store} << 2 << "" << "topovil : Motif de recherche invalide";
    QTest::newRow("missing file") << QStringList{"--chercher", "paris", store + ".absent"} << 2 << "" << "topovil : Le fichier de données";
    QTest::newRow("not a database") << QStringList{"--chercher", "paris", sourceDir() + "/README.md"} << 2 << "" << "topovil : ";
    QTest::newRow("no text") << QStringList{"--chercher"} << 2 << "" << "topovil : l'option --chercher demande un texte";
    // clang-format on
}

void TestCommandLineSearch::statusAndLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, errStart);
    // No display at all: the search must not need one.
    const ProgramRun run = runProgram(m_root, arguments, {}, [](QProcessEnvironment &env) {
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    });
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, out);
    if (errStart.isEmpty())
        QCOMPARE(run.err, QString());
    else
        QVERIFY2(run.err.startsWith(errStart), qPrintable(run.err));
}

void TestCommandLineSearch::decimalPointWhateverTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    // clang-format off
    QTest::newRow("French") << "fr_FR.UTF-8";
    QTest::newRow("German") << "de_DE.UTF-8";
    QTest::newRow("C") << "C.UTF-8";
    // clang-format on
}

// Qt reads the locale from the environment whether or not the system has
// it installed, so a decimal comma would show here.
void TestCommandLineSearch::decimalPointWhateverTheLocale()
{
    QFETCH(QString, locale);
    const ProgramRun run =
        runProgram(m_root, {"--chercher", "brest", m_store}, {}, [&locale](QProcessEnvironment &env) {
            env.insert(QStringLiteral("LC_ALL"), locale);
            env.insert(QStringLiteral("LANG"), locale);
            env.insert(QStringLiteral("LC_NUMERIC"), locale);
        });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, brestLine());
}

void TestCommandLineSearch::withoutFileUsesTheWindowsDataFile()
{
    // The user's own file in XDG_DATA_HOME comes before the shipped table.
    const QString own = m_root.filePath(QStringLiteral("maison/donnees/topovil/insee.mdb"));
    QDir().mkpath(QFileInfo(own).path());
    QVERIFY(QFile::copy(m_store, own)); // a SQLite file under the Access name: opened by its content
    const ProgramRun run = runProgram(m_root, {"--chercher", "brest"});
    QFile::remove(own);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, brestLine());
}

void TestCommandLineSearch::shippedTableHasTwelveOfTheCommonestName()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    QTemporaryDir root;
    const ProgramRun run = runProgram(root, {"--chercher", "ste colombe", shippedStorePath()});
    QCOMPARE(run.status, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 12);
    for (const QString &line : lines) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 9);
        QCOMPARE(fields[0], QStringLiteral("STE COLOMBE"));
        QVERIFY(!fields[2].contains(QLatin1Char(',')));
        QCOMPARE(fields[5].size(), 6);
    }
}

void TestCommandLineSearch::shippedPostalCodeGivesTheCodeThatMatched()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    QTemporaryDir root;
    const ProgramRun run = runProgram(root, {"--chercher", "75015", shippedStorePath()});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, "PARIS\t75015\t2.3428\t48.85661\tPARIS\t" + maidenheadLocator(48.85661, 2.3428) + "\t\t\t75\n");
}

// A commune found by another name says which in a seventh field; an
// arrondissement gives its own postal code.
void TestCommandLineSearch::shippedOtherNameGivesASeventhField()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    QTemporaryDir root;
    const ProgramRun run = runProgram(root, {"--chercher", "Cherbourg-Octeville", shippedStorePath()});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, "CHERBOURG EN COTENTIN\t50100\t-1.62093\t49.6318\tMANCHE\t" + maidenheadLocator(49.6318, -1.62093)
                          + "\tCHERBOURG OCTEVILLE (commune déléguée)\t\t50\n");
    const ProgramRun lyon = runProgram(root, {"--chercher", "lyon 3e*", shippedStorePath()});
    QCOMPARE(lyon.status, 0);
    const QStringList fields = lyon.out.chopped(1).split(QLatin1Char('\t'));
    QCOMPARE(fields.size(), 9);
    QCOMPARE(fields[0], QStringLiteral("LYON"));
    QCOMPARE(fields[1], QStringLiteral("69003"));
    QCOMPARE(fields[6], QStringLiteral("LYON 3E ARRONDISSEMENT (arrondissement municipal)"));
}

QTEST_GUILESS_MAIN(TestCommandLineSearch)
#include "test_command_line_search.moc"
