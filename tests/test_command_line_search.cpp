#include "CommandLineRun.h"
#include "ProgramRun.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "geo/MaidenheadLocator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

// The fields of old, in their order, as a line: the later fields have
// tests of their own.
const QStringList shownFields = {"commune", "code_postal", "longitude",  "latitude",       "departement",
                                 "locator", "autre_nom",   "code_insee", "num_departement"};

// The fields of --historique.
const QStringList historyFields = {"commune",    "code_insee",        "date",  "nature",     "avant",
                                   "code_avant", "departement_avant", "apres", "code_apres", "departement_apres"};

// The line of the BREST of the test store; its locator is the one the
// window computes.
static QString brestLine()
{
    return "BREST\t29200\t-4.48628\t48.39003\tFINISTERE\t" + maidenheadLocator(48.39003, -4.48628) + "\t\t\t29\n";
}

// topovil --chercher, --autour, --historique and --lot, run in this process
// as the program runs them, their records read by field name; the program
// itself is started twice, to see its status and lines through a real pipe
// with no display, and its decimal point in another locale.
class TestCommandLineSearch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void statusAndLines_data();
    void statusAndLines();
    void theProgramItself();
    void withoutFileUsesTheWindowsDataFile();
    void shippedTableHasTwelveOfTheCommonestName();
    void shippedOtherNameGivesASeventhField();
    void shippedCodesAndFormerNamesLeadToToday_data();
    void shippedCodesAndFormerNamesLeadToToday();
    void shippedStepsAsAnArrayInJson();
    void history_data();
    void history();
    void atADate_data();
    void atADate();
    void batchAtDates();
    void placeAsGenealogySoftwareFilesIt_data();
    void placeAsGenealogySoftwareFilesIt();

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
    QTest::newRow("postal code, none") << QStringList{"--chercher", "99*", store} << 1 << "" << "Aucune commune ne répond à « 99* ».\n";
    QTest::newRow("a typo, with suggestions") << QStringList{"--chercher", "Bresst", store} << 1 << "" << "Aucune commune ne répond à « Bresst ». Vouliez-vous dire BREST ?\n";
    QTest::newRow("locator square") << QStringList{"--chercher", "IN78", store} << 0 << brestLine() << "";
    QTest::newRow("nothing matches") << QStringList{"--chercher", "nulle part", store} << 1 << "" << "Aucune commune ne répond à « nulle part ».\n";
    QTest::newRow("malformed pattern") << QStringList{"--chercher", "[a", store} << 2 << "" << "Motif de recherche invalide";
    QTest::newRow("missing file") << QStringList{"--chercher", "paris", store + ".absent"} << 2 << "" << "Le fichier de données";
    QTest::newRow("not a database") << QStringList{"--chercher", "paris", sourceDir() + "/README.md"} << 2 << "" << "Le fichier";
    QTest::newRow("no text") << QStringList{"--chercher"} << 2 << "" << "l'option --chercher demande un texte";
    // Paris to Brest: 504.4 km, leaving at 266.7° (west).
    const QString brestFromParis = brestLine().chopped(1) + "\t504.4\t267\n";
    QTest::newRow("from a commune") << QStringList{"--chercher", "brest", "--depuis", "paris", store} << 0 << brestFromParis << "";
    QTest::newRow("from a point") << QStringList{"--depuis", "48.85661, 2.3428", "--chercher", "brest", store} << 0 << brestFromParis << "";
    QTest::newRow("from no place") << QStringList{"--chercher", "brest", "--depuis", "nulle part", store} << 2 << "" << "« nulle part » : aucune commune";
    QTest::newRow("from, alone") << QStringList{"--depuis", "paris", store} << 2 << "" << "l'option --depuis va avec --chercher";
    QTest::newRow("coordinates, nearest first") << QStringList{"--chercher", "48.4 -4.4", store} << 0
        << brestLine() + "PARIS\t75001\t2.3428\t48.85661\tPARIS\t" + maidenheadLocator(48.85661, 2.3428) + "\t\t\t75\n"
           + "Sainte-Marie\t20000\t9\t42\tCORSE\t" + maidenheadLocator(42.0, 9.0) + "\t\t\t20\nSTE MARIE\t97230\t-61.01759\t14.76922\tMARTINIQUE\tFK94LS\t\t\t972\n" << "";
    QTest::newRow("coordinates off the globe") << QStringList{"--chercher", "48 200", store} << 2 << "" << "Longitude hors limites";
    QTest::newRow("around, nearest first") << QStringList{"--autour", "paris", "600", store} << 0
        << "PARIS\t75001\t2.3428\t48.85661\tPARIS\t" + maidenheadLocator(48.85661, 2.3428) + "\t\t\t75\t0.0\n" + brestLine().chopped(1) + "\t504.4\n" << "";
    QTest::newRow("around a locator, none") << QStringList{"--autour", "JN18EU", "1", store} << 1 << "" << "";
    QTest::newRow("around, a bad radius") << QStringList{"--autour", "paris", "-3", store} << 2 << "" << "rayon invalide";
    QTest::newRow("around, no radius") << QStringList{"--autour", "paris"} << 2 << "" << "l'option --autour demande";
    // clang-format on
}

void TestCommandLineSearch::statusAndLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, errStart);
    const CommandLineRun run = runCommandLine(arguments);
    QCOMPARE(run.status, status);
    QStringList names = shownFields;
    for (const char *added : {"distance_km", "azimut"})
        if (run.header.contains(added))
            names << added;
    QCOMPARE(run.records.isEmpty() ? QString() : run.lines(names), out);
    if (errStart.isEmpty())
        QCOMPARE(run.err, QString());
    else
        QVERIFY2(run.err.startsWith(errStart.trimmed()), qPrintable(run.err));
}

// The program itself, with no display at all and in a locale of decimal
// commas: its status, its lines on a real pipe, its message on standard error.
void TestCommandLineSearch::theProgramItself()
{
    const ProgramRun run = runProgram(m_root, {"--chercher", "brest", m_store}, {}, [](QProcessEnvironment &env) {
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out.section(QLatin1Char('\t'), 0, 8) + QLatin1Char('\n'), brestLine());
    QCOMPARE(run.err, QString());
    const ProgramRun none = runProgram(m_root, {"--chercher", "[a", m_store});
    QCOMPARE(none.status, 2);
    QCOMPARE(none.out, QString());
    QVERIFY2(none.err.startsWith(QStringLiteral("topovil : Motif de recherche invalide")), qPrintable(none.err));
}

void TestCommandLineSearch::withoutFileUsesTheWindowsDataFile()
{
    // The user's own file in XDG_DATA_HOME comes before the shipped table.
    const QString own = m_root.filePath(QStringLiteral("maison/donnees/topovil/insee.mdb"));
    QDir().mkpath(QFileInfo(own).path());
    QVERIFY(QFile::copy(m_store, own)); // a SQLite file under the Access name: opened by its content
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("maison/donnees")).toUtf8());
    const CommandLineRun run = runCommandLine({"--chercher", "brest"});
    qputenv("XDG_DATA_HOME", before);
    QFile::remove(own);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.lines(shownFields), brestLine());
}

void TestCommandLineSearch::shippedTableHasTwelveOfTheCommonestName()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    const CommandLineRun run = runCommandLine({"--chercher", "ste colombe", shippedStorePath()});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.header.size(), 15);
    // The twelve communes first, then those former communes of that name lead to.
    QVERIFY(run.records.size() >= 12);
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(run.records[i].size(), 15);
        QCOMPARE(run.field(i, "commune"), QStringLiteral("STE COLOMBE"));
        QCOMPARE(run.field(i, "nom"), QStringLiteral("Sainte-Colombe"));
        QVERIFY(!run.field(i, "longitude").contains(QLatin1Char(',')));
        QCOMPARE(run.field(i, "locator").size(), 6);
    }
}

// A commune found by another name says which in a seventh field; an
// arrondissement gives its own postal code.
void TestCommandLineSearch::shippedOtherNameGivesASeventhField()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    const CommandLineRun run = runCommandLine({"--chercher", "Cherbourg-Octeville", shippedStorePath()});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.header, QStringList({"commune", "code_postal", "longitude", "latitude", "departement", "locator",
                                      "autre_nom", "code_insee", "num_departement", "codes_postaux", "correspondance",
                                      "nom", "raison", "etapes", "lieu"}));
    QCOMPARE(run.records.size(), 1);
    QCOMPARE(run.records[0].join(QLatin1Char('\t')),
             "CHERBOURG EN COTENTIN\t50100\t-1.62093\t49.6318\tMANCHE\t" + maidenheadLocator(49.6318, -1.62093)
                 + "\tCHERBOURG OCTEVILLE → CHERBOURG EN COTENTIN (commune déléguée, 1er janvier 2016)\t50129\t50"
                   "\t50100 50110 50120 50130 50460 50470\tautre nom : commune déléguée\tCherbourg-en-Cotentin\t"
                   "\tcommune nouvelle, 2016-01-01, CHERBOURG EN COTENTIN, 50129"
                   "\tCherbourg-en-Cotentin, 50129, 50100, Manche, Normandie, France");
    const CommandLineRun lyon = runCommandLine({"--chercher", "lyon 3e*", shippedStorePath()});
    QCOMPARE(lyon.status, 0);
    QCOMPARE(lyon.field(0, "commune"), QStringLiteral("LYON"));
    QCOMPARE(lyon.field(0, "code_postal"), QStringLiteral("69003"));
    QCOMPARE(lyon.field(0, "autre_nom"), QStringLiteral("LYON 3E ARRONDISSEMENT (arrondissement municipal)"));
}

void TestCommandLineSearch::shippedCodesAndFormerNamesLeadToToday_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("commune");
    QTest::addColumn<QString>("codepos");
    QTest::addColumn<QString>("seventh");
    QTest::addColumn<QString>("kind");
    // clang-format off
    QTest::newRow("INSEE code") << "75056" << 0 << "PARIS" << "75001" << "" << "code INSEE";
    QTest::newRow("INSEE code, Corsica") << "2a004" << 0 << "AJACCIO" << "20000" << "" << "code INSEE";
    QTest::newRow("postal code first") << "97411" << 0 << "ST PAUL" << "97411" << "" << "code postal";
    QTest::newRow("then the INSEE code") << "97411" << 1 << "ST DENIS" << "97400" << "" << "code INSEE";
    QTest::newRow("former code") << "74011" << 0 << "ANNECY" << "74000" << "ANNECY LE VIEUX → ANNECY (commune nouvelle, 1er janvier 2017)" << "ancien code INSEE";
    QTest::newRow("code before Corsica split") << "20001" << 0 << "AFA" << "20167" << "AFA → AFA (changement de département, 1er janvier 1976)" << "ancien code INSEE";
    QTest::newRow("merged in 1943") << "Voisinlieu" << 0 << "BEAUVAIS" << "60000" << "VOISINLIEU → BEAUVAIS (fusion, 19 février 1943)" << "ancien nom : fusion, 1943";
    QTest::newRow("renamed") << "Châlons-sur-Marne" << 0 << "CHALONS EN CHAMPAGNE" << "51000" << "CHALONS SUR MARNE → CHALONS EN CHAMPAGNE (changement de nom, 4 janvier 1998)" << "ancien nom : changement de nom, 1998";
    QTest::newRow("Paris 15e") << "Paris 15e" << 0 << "PARIS" << "75015" << "PARIS 15E ARRONDISSEMENT (arrondissement municipal)" << "autre nom : arrondissement municipal";
    QTest::newRow("Paris 15") << "PARIS 15" << 0 << "PARIS" << "75015" << "PARIS 15E ARRONDISSEMENT (arrondissement municipal)" << "autre nom : arrondissement municipal";
    QTest::newRow("Marseille 1er arrondissement") << "marseille 1er arrondissement" << 0 << "MARSEILLE" << "13001" << "MARSEILLE 1ER ARRONDISSEMENT (arrondissement municipal)" << "autre nom : arrondissement municipal";
    QTest::newRow("whole city code") << "69000" << 0 << "LYON" << "69001" << "" << "forme usuelle";
    QTest::newRow("article added") << "Havre" << 0 << "LE HAVRE" << "76600" << "" << "forme usuelle";
    QTest::newRow("article L'") << "Île d'Yeu" << 0 << "L ILE D YEU" << "85350" << "" << "forme usuelle";
    QTest::newRow("article taken away") << "Le Paris" << 0 << "PARIS" << "75001" << "" << "forme usuelle";
    QTest::newRow("current name first") << "Vire" << 0 << "VIRE" << "71260" << "" << "nom";
    QTest::newRow("then its délégué") << "Vire" << 1 << "VIRE NORMANDIE" << "14500" << "VIRE → VIRE NORMANDIE (commune déléguée, 1er janvier 2016)" << "autre nom : commune déléguée";
    QTest::newRow("two steps") << "Octeville" << 0 << "CHERBOURG EN COTENTIN" << "50100" << "OCTEVILLE → CHERBOURG OCTEVILLE (fusion, 28 février 2000) → CHERBOURG EN COTENTIN (commune nouvelle, 1er janvier 2016)" << "ancien nom : fusion, 2000";
    QTest::newRow("two steps, the first a merger") << "Equeurdreville" << 0 << "CHERBOURG EN COTENTIN" << "50100" << "EQUEURDREVILLE → EQUEURDREVILLE HAINNEVILLE (fusion, 1er janvier 1965) → CHERBOURG EN COTENTIN (commune nouvelle, 1er janvier 2016)" << "ancien nom : fusion, 1965";
    QTest::newRow("former code, two steps") << "50383" << 0 << "CHERBOURG EN COTENTIN" << "50100" << "OCTEVILLE → CHERBOURG OCTEVILLE (fusion, 28 février 2000) → CHERBOURG EN COTENTIN (commune nouvelle, 1er janvier 2016)" << "ancien code INSEE";
    QTest::newRow("restored: itself, nothing after") << "Imécourt" << 1 << "" << "" << "" << "";
    QTest::newRow("associated, with its date") << "La Hardoye" << 0 << "ROCQUIGNY" << "08220" << "LA HARDOYE → ROCQUIGNY LA HARDOYE (association, 29 décembre 1973) → ROCQUIGNY (association, 1er mai 1974) ; aujourd'hui commune associée" << "autre nom : commune associée";
    QTest::newRow("blanks around a code") << " 13008 " << 0 << "MARSEILLE" << "13008" << "" << "code postal";
    QTest::newRow("and its INSEE code") << " 13008 " << 1 << "AURONS" << "13121" << "" << "code INSEE";
    // clang-format on
}

void TestCommandLineSearch::shippedCodesAndFormerNamesLeadToToday()
{
    QFETCH(QString, typed);
    QFETCH(int, line);
    QFETCH(QString, commune);
    QFETCH(QString, codepos);
    QFETCH(QString, seventh);
    QFETCH(QString, kind);
    REQUIRE_SHARED_FILE(shippedStorePath());
    const CommandLineRun run = runCommandLine({"--chercher", typed, shippedStorePath()});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.field(line, "commune"), commune);
    QCOMPARE(run.field(line, "code_postal"), codepos);
    QCOMPARE(run.field(line, "autre_nom"), seventh);
    QCOMPARE(run.field(line, "correspondance"), kind);
}

void TestCommandLineSearch::shippedStepsAsAnArrayInJson()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    const CommandLineRun run = runCommandLine({"--chercher", "Octeville", "--format", "json", shippedStorePath()});
    QCOMPARE(run.status, 0);
    QJsonParseError error;
    const QJsonArray records = QJsonDocument::fromJson(run.out.toUtf8(), &error).array();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(records.size(), 1);
    const QJsonArray steps = records[0].toObject()[QStringLiteral("etapes")].toArray();
    QCOMPARE(steps.size(), 2);
    const QJsonObject last = steps[1].toObject();
    QCOMPARE(last[QStringLiteral("nature")].toString(), QStringLiteral("commune nouvelle"));
    QCOMPARE(last[QStringLiteral("date")].toString(), QStringLiteral("2016-01-01"));
    QCOMPARE(last[QStringLiteral("commune")].toString(), QStringLiteral("CHERBOURG EN COTENTIN"));
    QCOMPARE(last[QStringLiteral("code_insee")].toString(), QStringLiteral("50129"));
    // A commune found by its own name has no steps: an empty array.
    const CommandLineRun paris = runCommandLine({"--chercher", "Paris", "--format", "json", shippedStorePath()});
    const QJsonArray parisRecords = QJsonDocument::fromJson(paris.out.toUtf8()).array();
    QVERIFY(parisRecords[0].toObject()[QStringLiteral("etapes")].isArray());
    QCOMPARE(parisRecords[0].toObject()[QStringLiteral("etapes")].toArray().size(), 0);
}

void TestCommandLineSearch::history_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("line"); // one line the output holds, or the start of the error
    const QString shipped = shippedStorePath();
    // clang-format off
    QTest::newRow("the communes it absorbed") << QStringList{"--historique", "Cherbourg-en-Cotentin", shipped} << 0
        << "CHERBOURG EN COTENTIN\t50129\t2000-02-28\tfusion\tOCTEVILLE\t50383\t\tCHERBOURG OCTEVILLE\t50129\t";
    QTest::newRow("by a former name") << QStringList{"--historique", "Octeville", shipped} << 0
        << "CHERBOURG EN COTENTIN\t50129\t2016-01-01\tcommune nouvelle\tTOURLAVILLE\t50602\t\tCHERBOURG EN COTENTIN\t50129\t";
    QTest::newRow("Corse, the département of the time") << QStringList{"--historique", "Afa", "--format", "csv", shipped} << 0
        << "AFA\t2A001\t1976-01-01\tchangement de département\tAFA\t20001\tCorse\tAFA\t2A001\t";
    QTest::newRow("Seine-et-Oise") << QStringList{"--historique", "Juvisy-sur-Orge", shipped} << 0
        << "JUVISY SUR ORGE\t91326\t1968-01-01\tchangement de département\tJUVISY SUR ORGE\t78326\tSeine-et-Oise\tJUVISY SUR ORGE\t91326\t";
    QTest::newRow("restored: the commune it was given back to") << QStringList{"--historique", "Verpel", shipped} << 0
        << "VERPEL\t08470\t1985-01-01\trétablissement\tVERPEL\t08470\t\tIMECOURT\t08233\t";
    QTest::newRow("many communes, the table read once") << QStringList{"--historique", "ST E*", shipped} << 0
        << "ST ETIENNE\t42218\t1970-01-01\tfusion\tTERRENOIRE\t42309\t\tST ETIENNE\t42218\t";
    QTest::newRow("nothing found") << QStringList{"--historique", "nulle part", shipped} << 1 << "Aucune commune ne répond à « nulle part ».";
    QTest::newRow("a file without history") << QStringList{"--historique", "paris", m_store} << 2 << "ce fichier de données ne dit pas l'histoire";
    QTest::newRow("not with a search") << QStringList{"--historique", "paris", "--chercher", "paris", m_store} << 2 << "--historique ne va ni avec";
    // clang-format on
}

void TestCommandLineSearch::history()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, line);
    REQUIRE_SHARED_FILE(shippedStorePath());
    const CommandLineRun run = runCommandLine(arguments);
    QCOMPARE(run.status, status);
    if (status != 0) {
        QVERIFY2(run.err.startsWith(line), qPrintable(run.err));
        return;
    }
    QVERIFY2(run.lines(historyFields).split(QLatin1Char('\n')).contains(line), qPrintable(run.out.left(2000)));
    // Each field holds its own kind of value: a day, then a word of what happened.
    static const QRegularExpression day(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    for (int i = 0; i < run.records.size(); ++i) {
        QVERIFY2(day.match(run.field(i, "date")).hasMatch(), qPrintable(run.field(i, "date")));
        QVERIFY2(!run.field(i, "nature").isEmpty() && !run.field(i, "nature").front().isDigit(),
                 qPrintable(run.field(i, "nature")));
    }
}

void TestCommandLineSearch::atADate_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    // The first line's commune, postal code, then its date fields; or the start of the error.
    QTest::addColumn<QString>("line");
    const QString shipped = shippedStorePath();
    // clang-format off
    QTest::newRow("a former commune, before its merger") << QStringList{"--chercher", "Octeville", "--date", "1999-12-31", shipped} << 0 << "CHERBOURG EN COTENTIN\t50100\t1999-12-31\tOcteville\t50383\tcommune\tMANCHE";
    QTest::newRow("the same, the day of it") << QStringList{"--chercher", "Octeville", "--date", "2000-02-28", shipped} << 1 << "";
    QTest::newRow("a year, the merger within it") << QStringList{"--chercher", "Octeville", "--date", "2000", shipped} << 0 << "CHERBOURG EN COTENTIN\t50100\t2000\tOcteville\t50383\tcommune\tMANCHE";
    QTest::newRow("by its code of the time") << QStringList{"--chercher", "50383", "--date", "1990", shipped} << 0 << "CHERBOURG EN COTENTIN\t50100\t1990\tOcteville\t50383\tcommune\tMANCHE";
    QTest::newRow("today's name, not yet borne") << QStringList{"--chercher", "Cherbourg-en-Cotentin", "--date", "1990", shipped} << 1 << "";
    QTest::newRow("associated then restored: associée") << QStringList{"--chercher", "Imécourt", "--date", "1980", shipped} << 0 << "IMECOURT\t08240\t1980\tImécourt\t08233\tcommune associée\tARDENNES";
    QTest::newRow("associated then restored: before") << QStringList{"--chercher", "Imécourt", "--date", "1970", shipped} << 0 << "IMECOURT\t08240\t1970\tImécourt\t08233\tcommune\tARDENNES";
    QTest::newRow("Corse") << QStringList{"--chercher", "Afa", "--date", "1975-12-31", shipped} << 0 << "AFA\t20167\t1975-12-31\tAfa\t20001\tcommune\tCORSE";
    QTest::newRow("Corse-du-Sud") << QStringList{"--chercher", "Afa", "--date", "1976-01-01", shipped} << 0 << "AFA\t20167\t1976-01-01\tAfa\t2A001\tcommune\tCORSE-DU-SUD";
    QTest::newRow("Seine-et-Oise") << QStringList{"--chercher", "Juvisy-sur-Orge", "--date", "1967", shipped} << 0 << "JUVISY SUR ORGE\t91260\t1967\tJuvisy-sur-Orge\t78326\tcommune\tSEINE-ET-OISE";
    QTest::newRow("Seine") << QStringList{"--chercher", "Paris", "--date", "1950", shipped} << 0 << "PARIS\t75001\t1950\tParis\t75056\tcommune\tSEINE";
    QTest::newRow("a déléguée of today") << QStringList{"--chercher", "Cherbourg-Octeville", "--date", "2020", shipped} << 0 << "CHERBOURG EN COTENTIN\t50100\t2020\tCherbourg-Octeville\t50129\tcommune déléguée\tMANCHE";
    QTest::newRow("no such date") << QStringList{"--chercher", "Octeville", "--date", "1950-02-30", shipped} << 2 << "date invalide : « 1950-02-30 »";
    QTest::newRow("a date alone") << QStringList{"--date", "1950", shipped} << 2 << "l'option --date va avec --chercher ou --lot";
    QTest::newRow("a file without history") << QStringList{"--chercher", "paris", "--date", "1950", m_store} << 2 << "ce fichier de données ne dit pas l'histoire";
    // clang-format on
}

void TestCommandLineSearch::atADate()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, line);
    REQUIRE_SHARED_FILE(shippedStorePath());
    const CommandLineRun run = runCommandLine(arguments);
    QCOMPARE(run.status, status);
    if (status == 2) {
        QVERIFY2(run.err.startsWith(line), qPrintable(run.err));
        return;
    }
    const QStringList dated = {"commune",   "code_postal",     "date", "commune_date", "code_insee_date",
                               "type_date", "departement_date"};
    QCOMPARE(run.records.isEmpty() ? QString() : run.lines(dated).section(QLatin1Char('\n'), 0, 0), line);
}

void TestCommandLineSearch::batchAtDates()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    const CommandLineRun run = runCommandLine(
        {"--lot", "-", "--colonne", "Lieu", "--colonne-date", "Date", "--date", "1967-12-31", shippedStorePath()},
        "Lieu;Date\nOcteville;1990\nOcteville;2010\nJuvisy-sur-Orge;\n");
    QCOMPARE(run.status, 0);
    QCOMPARE(run.lines({"statut", "date", "commune_date", "code_insee_date", "type_date", "departement_date"}),
             "trouvée\t1990\tOcteville\t50383\tcommune\tMANCHE\n"
             "aucune\t2010\t\t\t\t\n"
             // A line without its own date is looked up at --date.
             "trouvée\t1967-12-31\tJuvisy-sur-Orge\t78326\tcommune\tSEINE-ET-OISE\n");
    // A name two edits from the one of its postal code is still that commune.
    const CommandLineRun misspelt = runCommandLine(
        {"--lot", "-", "--colonne", "nom", "--colonne-cp", "cp", shippedStorePath()}, "nom;dep;cp\nMarceile;;13008\n");
    QCOMPARE(misspelt.lines({"commune", "code_postal", "correspondance"}), "MARSEILLE\t13008\tcorrection\n");
}

void TestCommandLineSearch::placeAsGenealogySoftwareFilesIt_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("place");
    const QString shipped = shippedStorePath();
    // clang-format off
    QTest::newRow("today") << QStringList{"--chercher", "Cherbourg-en-Cotentin", shipped} << "Cherbourg-en-Cotentin, 50129, 50100, Manche, Normandie, France";
    QTest::newRow("the postal code that matched") << QStringList{"--chercher", "75015", shipped} << "Paris, 75056, 75015, Paris, Île-de-France, France";
    QTest::newRow("Corsica") << QStringList{"--chercher", "Ajaccio", shipped} << "Ajaccio, 2A004, 20000, Corse-du-Sud, Corse, France";
    QTest::newRow("overseas") << QStringList{"--chercher", "97411", shipped} << "Saint-Paul, 97415, 97411, La Réunion, La Réunion, France";
    QTest::newRow("at a date, no région before 2016") << QStringList{"--chercher", "Octeville", "--date", "1990", shipped} << "Octeville, 50383, 50100, Manche, , France";
    QTest::newRow("at a date, a département that is no more") << QStringList{"--chercher", "Juvisy-sur-Orge", "--date", "1960", shipped} << "Juvisy-sur-Orge, 78326, 91260, Seine-et-Oise, , France";
    QTest::newRow("at a date, Corse") << QStringList{"--chercher", "Afa", "--date", "1975", shipped} << "Afa, 20001, 20167, Corse, , France";
    QTest::newRow("at a date, the day before the régions of 2016") << QStringList{"--chercher", "Cherbourg-Octeville", "--date", "2015-12-31", shipped} << "Cherbourg-Octeville, 50129, 50100, Manche, , France";
    QTest::newRow("at a date since 2016, its région") << QStringList{"--chercher", "Cherbourg-Octeville", "--date", "2016-01-01", shipped} << "Cherbourg-Octeville, 50129, 50100, Manche, Normandie, France";
    QTest::newRow("a file that knows neither codes nor régions") << QStringList{"--chercher", "paris", m_store} << "PARIS, , 75001, PARIS, , France";
    // clang-format on
}

void TestCommandLineSearch::placeAsGenealogySoftwareFilesIt()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, place);
    REQUIRE_SHARED_FILE(shippedStorePath());
    const CommandLineRun run = runCommandLine(arguments);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.field(0, "lieu"), place);
}

QTEST_GUILESS_MAIN(TestCommandLineSearch)
#include "test_command_line_search.moc"
