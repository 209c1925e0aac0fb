#include "StreamText.h"
#include "TestStore.h"
#include "cli/CommandLine.h"
#include "cli/CommandLineCommand.h"
#include "cli/CommandLineRun.h"
#include "cli/OutputFields.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <set>

// The command line read from its tables, and run in this process: what it
// refuses and why, --help, and the status each end gives.
class TestCommandLineOptions : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void goesWith_data();
    void goesWith();
    void everyRefusalHasARow();
    void everyCommandAskedHasARow();
    void missingValue_data();
    void missingValue();
    void everyValuedOptionWantsItsValue();
    void givenTwice_data();
    void givenTwice();
    void helpListsEveryOptionAndField();
    void runInProcess_data();
    void runInProcess();

private:
    QTemporaryDir m_root;
    QString m_store;
    std::set<QString> m_refusalsSeen;
};

namespace {

// The refusals as the program tells them, written out here rather than read
// from the table, so that a changed text fails.
const QString historyAlone = QStringLiteral("--historique ne va ni avec --chercher, ni avec --lot, ni avec --autour");
const QString searchOrBatch = QStringLiteral("--chercher et --lot ne vont pas ensemble");
const QString aroundAlone = QStringLiteral("--autour ne va ni avec --chercher ni avec --lot");
const QString fromNeedsSearch = QStringLiteral("l'option --depuis va avec --chercher");
const QString batchNameEmpty = QStringLiteral("le nom du fichier de l'option --lot est vide");
const QString columnsNeedBatch = QStringLiteral("les options --colonne, --colonne-cp et --colonne-dep vont avec --lot");
const QString dateNeedsACommand = QStringLiteral("l'option --date va avec --chercher ou --lot");
const QString dateColumnNeeds = QStringLiteral("l'option --colonne-date va avec --lot --colonne");
const QString columnsNeedColumn = QStringLiteral("--colonne-cp et --colonne-dep demandent --colonne");
const QString encodingNeedsBatch = QStringLiteral("l'option --encodage va avec --lot");
const QString formatNeedsACommand =
    QStringLiteral("les options --format et --entete vont avec --chercher, --lot, --autour ou --historique");

} // namespace

void TestCommandLineOptions::initTestCase()
{
    m_store = m_root.filePath(QStringLiteral("communes.sqlite"));
    QVERIFY(writeCommuneStore(m_store, {commune("BREST", -4.48628, 48.39003, "29200", "FINISTERE")}));
}

void TestCommandLineOptions::goesWith_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("error");
    using A = CommandLine::Action;
    // clang-format off
    QTest::newRow("history with a search") << QStringList{"--historique", "a", "--chercher", "b"} << int(A::Error) << historyAlone;
    QTest::newRow("history with around") << QStringList{"--historique", "a", "--autour", "b", "1"} << int(A::Error) << historyAlone;
    QTest::newRow("search with a batch") << QStringList{"--chercher", "a", "--lot", "b"} << int(A::Error) << searchOrBatch;
    QTest::newRow("around with a batch") << QStringList{"--autour", "a", "1", "--lot", "b"} << int(A::Error) << aroundAlone;
    QTest::newRow("from alone") << QStringList{"--depuis", "paris"} << int(A::Error) << fromNeedsSearch;
    QTest::newRow("from with a batch") << QStringList{"--depuis", "paris", "--lot", "-"} << int(A::Error) << fromNeedsSearch;
    QTest::newRow("batch of no name") << QStringList{"--lot="} << int(A::Error) << batchNameEmpty;
    QTest::newRow("column alone") << QStringList{"--colonne", "nom"} << int(A::Error) << columnsNeedBatch;
    QTest::newRow("postcode column with a search") << QStringList{"--chercher", "a", "--colonne-cp", "cp"} << int(A::Error) << columnsNeedBatch;
    QTest::newRow("département column alone") << QStringList{"--colonne-dep", "d"} << int(A::Error) << columnsNeedBatch;
    QTest::newRow("postcode column, no column") << QStringList{"--lot", "-", "--colonne-cp", "cp"} << int(A::Error) << columnsNeedColumn;
    QTest::newRow("département column, no column") << QStringList{"--lot", "-", "--colonne-dep", "d"} << int(A::Error) << columnsNeedColumn;
    QTest::newRow("date around") << QStringList{"--autour", "a", "1", "--date", "2000"} << int(A::Error) << dateNeedsACommand;
    QTest::newRow("date column with a batch alone") << QStringList{"--lot", "-", "--colonne-date", "d"} << int(A::Error) << dateColumnNeeds;
    QTest::newRow("date column with a search") << QStringList{"--chercher", "a", "--colonne-date", "d"} << int(A::Error) << dateColumnNeeds;
    QTest::newRow("encoding with a search") << QStringList{"--chercher", "a", "--encodage", "utf-8"} << int(A::Error) << encodingNeedsBatch;
    QTest::newRow("format alone") << QStringList{"--format", "csv"} << int(A::Error) << formatNeedsACommand;
    QTest::newRow("header alone") << QStringList{"--entete"} << int(A::Error) << formatNeedsACommand;
    // Several refusals at once: the one the program has always told.
    QTest::newRow("history first of three") << QStringList{"--historique", "a", "--chercher", "b", "--lot", "c"} << int(A::Error) << historyAlone;
    QTest::newRow("around before from") << QStringList{"--depuis", "x", "--autour", "a", "1", "--lot", "b"} << int(A::Error) << aroundAlone;
    QTest::newRow("date column before the column") << QStringList{"--lot", "-", "--colonne-cp", "cp", "--colonne-date", "d"} << int(A::Error) << dateColumnNeeds;
    QTest::newRow("encoding before format") << QStringList{"--format", "csv", "--encodage", "utf-8"} << int(A::Error) << encodingNeedsBatch;
    QTest::newRow("the file before the options") << QStringList{"a", "b", "--chercher", "x", "--lot", "y"} << int(A::Error) << "un seul fichier de données à la fois (2 donnés)";
    QTest::newRow("a parse fault before them") << QStringList{"--chercher", "a", "--lot", "b", "--zzz"} << int(A::Error) << "option inconnue : --zzz";
    // What does go together.
    QTest::newRow("batch with all its options") << QStringList{"--lot", "-", "--colonne", "n", "--colonne-cp", "c", "--colonne-dep", "d", "--colonne-date", "t", "--date", "2000", "--encodage", "utf-8", "--format", "csv", "--entete"} << int(A::Batch) << QString();
    QTest::newRow("search with its options") << QStringList{"--chercher", "a", "--depuis", "b", "--date", "1960", "--entete", "--format=json"} << int(A::Search) << QString();
    QTest::newRow("around with a format") << QStringList{"--autour", "a", "-1", "--format", "json"} << int(A::Around) << QString();
    QTest::newRow("history with a header") << QStringList{"--historique", "a", "--entete"} << int(A::History) << QString();
    QTest::newRow("help wins over a refusal") << QStringList{"--format", "csv", "--help"} << int(A::Help) << QString();
    // clang-format on
}

void TestCommandLineOptions::goesWith()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QString, error);
    const CommandLine line = CommandLine::parse(arguments);
    QCOMPARE(line.error, error);
    QCOMPARE(int(line.action), action);
    m_refusalsSeen.insert(error);
}

void TestCommandLineOptions::everyRefusalHasARow()
{
    // A rule added to the table without a row above fails here.
    if (m_refusalsSeen.empty())
        QSKIP("needs the rows of goesWith, run before it");
    for (const CommandLine::Option &option : CommandLine::options()) {
        for (const CommandLine::GoesWith &rule : option.goesWith) {
            const QString refusal = QString::fromUtf8(rule.refusal);
            QVERIFY2(m_refusalsSeen.count(refusal), qPrintable(option.name() + QStringLiteral(" : ") + refusal));
        }
    }
}

void TestCommandLineOptions::everyCommandAskedHasARow()
{
    for (const CommandLine::Option &option : CommandLine::options()) {
        const CommandLineCommand &command = commandOf(option.asks);
        QVERIFY2(command.action == option.asks, option.names);
        QVERIFY2(bool(command.make) != bool(command.text) || option.asks == CommandLine::Action::Run, option.names);
    }
}

void TestCommandLineOptions::missingValue_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    // clang-format off
    QTest::newRow("search") << QStringList{"--chercher"} << "l'option --chercher demande un texte";
    QTest::newRow("around, no radius") << QStringList{"--autour", "paris"} << "l'option --autour demande un lieu et un rayon en km";
    QTest::newRow("around, nothing") << QStringList{"--autour"} << "l'option --autour demande un lieu et un rayon en km";
    QTest::newRow("batch") << QStringList{"--lot"} << "l'option --lot demande un fichier";
    QTest::newRow("date") << QStringList{"--chercher", "a", "--date"} << "l'option --date demande une date";
    QTest::newRow("format") << QStringList{"--chercher", "a", "--format"} << "l'option --format demande une valeur";
    QTest::newRow("format unknown") << QStringList{"--chercher", "a", "--format", "xml"} << "format inconnu : xml (tsv, csv ou json)";
    QTest::newRow("format empty after =") << QStringList{"--chercher", "a", "--format="} << "format inconnu :  (tsv, csv ou json)";
    QTest::newRow("encoding unknown") << QStringList{"--lot", "-", "--encodage", "latin1"} << "encodage inconnu : latin1 (utf-8 ou windows-1252)";
    // Two values never follow "=", nor does one a plain option.
    QTest::newRow("around after =") << QStringList{"--autour=paris", "5"} << "option inconnue : --autour=paris";
    QTest::newRow("header after =") << QStringList{"--entete=1"} << "option inconnue : --entete=1";
    // clang-format on
}

void TestCommandLineOptions::missingValue()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    const CommandLine line = CommandLine::parse(arguments);
    QCOMPARE(line.error, error);
    QCOMPARE(line.action, CommandLine::Action::Error);
}

void TestCommandLineOptions::everyValuedOptionWantsItsValue()
{
    for (const CommandLine::Option &option : CommandLine::options()) {
        if (!option.value)
            continue;
        const CommandLine line = CommandLine::parse({option.name()});
        QVERIFY2(line.error.startsWith(QStringLiteral("l'option %1 demande ").arg(option.name())),
                 qPrintable(line.error));
        QVERIFY(!QString::fromUtf8(option.wants).isEmpty());
    }
}

void TestCommandLineOptions::givenTwice_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("format");
    // clang-format off
    QTest::newRow("search") << QStringList{"--chercher", "a", "--chercher=b"} << "l'option --chercher est donnée deux fois" << 0;
    QTest::newRow("around") << QStringList{"--autour", "a", "1", "--autour", "b", "2"} << "l'option --autour est donnée deux fois" << 0;
    QTest::newRow("column") << QStringList{"--lot", "-", "--colonne", "a", "--colonne", "b"} << "l'option --colonne est donnée deux fois" << 0;
    QTest::newRow("twice, then a refusal") << QStringList{"--date", "1", "--date", "2"} << "l'option --date est donnée deux fois" << 0;
    // The format, the encoding and the header may be given again: the last one holds.
    QTest::newRow("format") << QStringList{"--chercher", "a", "--format", "csv", "--format", "json"} << QString() << int(CommandLine::Format::Json);
    QTest::newRow("header") << QStringList{"--chercher", "a", "--entete", "--entete"} << QString() << 0;
    // clang-format on
}

void TestCommandLineOptions::givenTwice()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    QFETCH(int, format);
    const CommandLine line = CommandLine::parse(arguments);
    QCOMPARE(line.error, error);
    if (error.isEmpty())
        QCOMPARE(int(line.format), format);
}

void TestCommandLineOptions::helpListsEveryOptionAndField()
{
    const QString help = commandLineHelp();
    for (const CommandLine::Option &option : CommandLine::options()) {
        const QString line = QStringLiteral("\n  ") + QLatin1String(option.names);
        QVERIFY2(help.contains(line), option.names);
    }
    for (const CommandLineCommand &command : commandLineCommands()) {
        if (command.usage)
            QVERIFY2(help.contains(QLatin1String(command.usage) + QLatin1Char('\n')), command.usage);
    }
    const std::vector<OutputField> *tables[] = {&searchFields(), &distanceFields(), &laterSearchFields(),
                                                &aroundFields(), &dateFields(),     &batchFields(),
                                                &historyFields()};
    for (const std::vector<OutputField> *fields : tables) {
        for (const QString &name : fieldNames(*fields)) {
            const QRegularExpression word(QStringLiteral("(^|[\\s(])%1[\\s,.)]").arg(name));
            QVERIFY2(help.contains(word), qPrintable(name));
        }
    }
    // Two fields side by side with one gloss are told together.
    QVERIFY(
        fieldHelp(historyFields(), FieldHelp::Glossed, QLatin1String(", "))
            .contains(QStringLiteral(", avant et code_avant (la commune avant le changement), departement_avant,")));
    // The lists are flowed within the columns of the options' text around them.
    const QString indent(15, QLatin1Char(' '));
    for (const QString &line : help.split(QLatin1Char('\n'))) {
        if (line.startsWith(indent))
            QVERIFY2(line.size() <= indent.size() + CommandLine::HelpColumns + 2, qPrintable(line));
    }
    QVERIFY(help.endsWith(QStringLiteral("sans écran, aussi.\n")));
}

void TestCommandLineOptions::runInProcess_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("status"); // what the program exits with
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString store = m_store;
    // clang-format off
    QTest::newRow("version") << QStringList{"--version"} << int(RunEnd::Shown) << 0 << "Topovil 4.01\n" << QString();
    QTest::newRow("help") << QStringList{"-h"} << int(RunEnd::Shown) << 0 << commandLineHelp() << QString();
    QTest::newRow("unknown option") << QStringList{"--bogus"} << int(RunEnd::Refused) << 2 << QString() << "topovil : option inconnue : --bogus\nEssayez « topovil --help ».\n";
    QTest::newRow("the window") << QStringList{"-platform", "offscreen", store} << int(RunEnd::WindowWanted) << 1 << QString() << QString();
    QTest::newRow("found") << QStringList{"--chercher", "brest", "--format", "csv", store} << int(RunEnd::Found) << 0 << "commune,code_postal,longitude,latitude,departement,locator,autre_nom,code_insee,num_departement,codes_postaux,correspondance,nom,raison,etapes,lieu\nBREST,29200,-4.48628,48.39003,FINISTERE,IN78SJ,,,29,29200,nom,,,,\"BREST, , 29200, FINISTERE, , France\"\n" << QString();
    QTest::newRow("none found") << QStringList{"--chercher", "quimper", store} << int(RunEnd::NoneFound) << 1 << QString() << "topovil : Aucune commune ne répond à « quimper ».\n";
    QTest::newRow("malformed radius") << QStringList{"--autour", "brest", "x", store} << int(RunEnd::Failed) << 2 << QString() << "topovil : rayon invalide : « x » (un nombre de kilomètres, 0 ou plus)\n";
    // clang-format on
}

void TestCommandLineOptions::runInProcess()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, end);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    std::FILE *in = std::tmpfile();
    std::FILE *written = std::tmpfile();
    std::FILE *told = std::tmpfile();
    const RunEnd ended = runCommandLine(arguments, in, written, told);
    QCOMPARE(int(ended), end);
    // The window that cannot start would end with 1; wanted, it starts.
    QCOMPARE(exitStatus(ended == RunEnd::WindowWanted ? RunEnd::WindowMissing : ended), status);
    QCOMPARE(QString::fromUtf8(readAll(written)), out);
    QCOMPARE(QString::fromUtf8(readAll(told)), err);
    std::fclose(in);
    std::fclose(written);
    std::fclose(told);
}

QTEST_GUILESS_MAIN(TestCommandLineOptions)
#include "test_command_line_options.moc"
