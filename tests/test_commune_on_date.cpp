#include "TestPaths.h"
#include "TestStore.h"
#include "history/DateAnswer.h"
#include "search/FindCommunes.h"
#include "store/CommuneDatabase.h"

#include <QtTest>

// What the shown commune was on a date, as the history list answers it:
// the day a change took effect and the day before, a commune made of
// several, one part of another, before the history, before a commune
// entered it, a file without history; and that each answer is what
// --date finds by the code of that day.
class TestCommuneOnDate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void states_data();
    void states();
    void stateTexts_data();
    void stateTexts();
    void lines_data();
    void lines();
    void theCommandLineAgrees_data();
    void theCommandLineAgrees();
    void aFileWithoutHistoryHasNoStates();

private:
    // Today's commune of that INSEE code, as the window shows it.
    TodayCommune today(const QString &code) const;

    std::unique_ptr<Database> m_db;
    Recordset m_communes;
    std::optional<CommuneStates> m_states;
};

void TestCommuneOnDate::initTestCase()
{
    if (!QFileInfo::exists(shippedStorePath()))
        QSKIP("the shipped table is absent");
    m_db = openCommuneDatabase(shippedStorePath());
    m_communes = m_db->openRecordset(QStringLiteral("insee1"));
    m_states.emplace(*m_db);
    QVERIFY(m_states->available());
}

TodayCommune TestCommuneOnDate::today(const QString &code) const
{
    const Column &codes = m_communes.column(m_communes.fieldIndex(u"code_insee"));
    for (int row = 0; row < m_communes.recordCount(); ++row) {
        if (codes.value(size_t(row)).toString() == code)
            return {m_communes.rowidOf(row),
                    m_communes.column(m_communes.fieldIndex(u"nom")).value(size_t(row)).toString(), code};
    }
    return {};
}

void TestCommuneOnDate::states_data()
{
    QTest::addColumn<QString>("code"); // today's
    QTest::addColumn<QString>("date");
    QTest::addColumn<QStringList>("found");
    // clang-format off
    QTest::newRow("the day before a change of département") << "91326" << "1967-12-31" << QStringList{"Juvisy-sur-Orge, 78326, Seine-et-Oise"};
    QTest::newRow("the day it took effect") << "91326" << "1968-01-01" << QStringList{"Juvisy-sur-Orge, 91326, Essonne"};
    QTest::newRow("a year before it") << "91326" << "1967" << QStringList{"Juvisy-sur-Orge, 78326, Seine-et-Oise"};
    QTest::newRow("Corse, the day before") << "2A001" << "1975-12-31" << QStringList{"Afa, 20001, Corse"};
    QTest::newRow("Corse-du-Sud, the day it took effect") << "2A001" << "1976-01-01" << QStringList{"Afa, 2A001, Corse-du-Sud"};
    QTest::newRow("unchanged, in the Seine") << "75056" << "1967" << QStringList{"Paris, 75056, Seine"};
    QTest::newRow("unchanged, in Seine-et-Oise with its code") << "78646" << "1967-12-31" << QStringList{"Versailles, 78646, Seine-et-Oise"};
    QTest::newRow("unchanged, in the Yvelines") << "78646" << "1968-01-01" << QStringList{"Versailles, 78646, Yvelines"};
    QTest::newRow("made of six communes") << "50129" << "1990" << QStringList{
        "Cherbourg, 50129, Manche", "Équeurdreville-Hainneville, 50173, Manche", "La Glacerie, 50203, Manche",
        "Octeville, 50383, Manche", "Querqueville, 50416, Manche", "Tourlaville, 50602, Manche"};
    QTest::newRow("the day before a fusion") << "50129" << "2000-02-27" << QStringList{
        "Cherbourg, 50129, Manche", "Équeurdreville-Hainneville, 50173, Manche", "La Glacerie, 50203, Manche",
        "Octeville, 50383, Manche", "Querqueville, 50416, Manche", "Tourlaville, 50602, Manche"};
    QTest::newRow("the day of the fusion") << "50129" << "2000-02-28" << QStringList{
        "Cherbourg-Octeville, 50129, Manche", "Équeurdreville-Hainneville, 50173, Manche", "La Glacerie, 50203, Manche",
        "Querqueville, 50416, Manche", "Tourlaville, 50602, Manche"};
    QTest::newRow("a month that holds the fusion") << "50129" << "2000-02" << QStringList{
        "Cherbourg, 50129, Manche, jusqu'au 27 février 2000", "Cherbourg-Octeville, 50129, Manche, depuis le 28 février 2000",
        "Équeurdreville-Hainneville, 50173, Manche", "La Glacerie, 50203, Manche",
        "Octeville, 50383, Manche, jusqu'au 27 février 2000", "Querqueville, 50416, Manche", "Tourlaville, 50602, Manche"};
    QTest::newRow("a commune and its déléguées") << "50129" << "2020-06-15" << QStringList{
        "Cherbourg-en-Cotentin, 50129, Manche", "Cherbourg-Octeville, 50129, commune déléguée, Manche",
        "Équeurdreville-Hainneville, 50173, commune déléguée, Manche", "La Glacerie, 50203, commune déléguée, Manche",
        "Querqueville, 50416, commune déléguée, Manche", "Tourlaville, 50602, commune déléguée, Manche"};
    QTest::newRow("before the history") << "50129" << "1900" << QStringList{
        "Cherbourg, 50129, Manche", "Équeurdreville, 50173, Manche", "La Glacerie, 50203, Manche",
        "Hainneville, 50226, Manche", "Octeville, 50383, Manche", "Querqueville, 50416, Manche", "Tourlaville, 50602, Manche"};
    QTest::newRow("part of another commune") << "08233" << "1980" << QStringList{"Imécourt, 08233, commune associée, Ardennes"};
    QTest::newRow("given back") << "08233" << "1985-01-01" << QStringList{"Imécourt, 08233, Ardennes"};
    QTest::newRow("a state the store ends twice, once") << "74010" << "1980" << QStringList{
        "Annecy, 74010, Haute-Savoie", "Annecy-le-Vieux, 74011, Haute-Savoie",
        "Balmont, 74028, commune associée, Haute-Savoie", "Cran-Gevrier, 74093, Haute-Savoie",
        "Ferrières, 74125, commune associée, Haute-Savoie", "Meythet, 74182, Haute-Savoie",
        "Pringy, 74217, Haute-Savoie", "Seynod, 74268, Haute-Savoie"};
    QTest::newRow("the day before it was made") << "46337" << "1946-05-31" << QStringList{};
    QTest::newRow("the day it was made") << "46337" << "1946-06-01" << QStringList{"Mayrac, 46337, Lot"};
    // clang-format on
}

void TestCommuneOnDate::states()
{
    QFETCH(QString, code);
    QFETCH(QString, date);
    QFETCH(QStringList, found);
    const TodayCommune commune = today(code);
    QVERIFY(commune.rowid > 0);
    const std::optional<std::vector<CommuneThen>> then = communeOnDate(*m_states, commune, *parseDatePeriod(date));
    QVERIFY(then);
    QStringList texts;
    for (const CommuneThen &state : *then)
        texts << communeThenText(state);
    QCOMPARE(texts, found);
}

void TestCommuneOnDate::stateTexts_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("began");
    QTest::addColumn<QString>("ended");
    QTest::addColumn<QString>("text");
    // clang-format off
    QTest::newRow("a commune the whole time") << "commune" << "" << "" << "Octeville, 50383, Manche";
    QTest::newRow("its kind told") << "commune associée" << "" << "" << "Octeville, 50383, commune associée, Manche";
    QTest::newRow("ended: to the day before the change") << "commune" << "" << "2000-02-28" << "Octeville, 50383, Manche, jusqu'au 27 février 2000";
    QTest::newRow("ended on a first of the month") << "commune" << "" << "2000-03-01" << "Octeville, 50383, Manche, jusqu'au 29 février 2000";
    QTest::newRow("began") << "commune" << "1973-01-01" << "" << "Octeville, 50383, Manche, depuis le 1er janvier 1973";
    QTest::newRow("began and ended") << "commune déléguée" << "2000-02-28" << "2000-12-01" << "Octeville, 50383, commune déléguée, Manche, du 28 février 2000 au 30 novembre 2000";
    // clang-format on
}

void TestCommuneOnDate::stateTexts()
{
    QFETCH(QString, type);
    QFETCH(QString, began);
    QFETCH(QString, ended);
    QFETCH(QString, text);
    QCOMPARE(communeThenText(
                 {QStringLiteral("Octeville"), QStringLiteral("50383"), type, QStringLiteral("Manche"), began, ended}),
             text);
}

void TestCommuneOnDate::lines_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("lines");
    const QString forms = QStringLiteral("AAAA, AAAA-MM ou AAAA-MM-JJ");
    // clang-format off
    QTest::newRow("nothing typed") << "91326" << "" << QStringList{"Tapez une date (" + forms + ") pour voir la commune à ce jour"};
    QTest::newRow("part of a year") << "91326" << "196" << QStringList{"Date : 196… (" + forms + ")"};
    QTest::newRow("a year and its dash") << "91326" << "1967-" << QStringList{"Date : 1967-… (" + forms + ")"};
    QTest::newRow("part of a day") << "91326" << "1967-12-3" << QStringList{"Date : 1967-12-3… (" + forms + ")"};
    QTest::newRow("a year") << "91326" << "1967" << QStringList{"En 1967 : Juvisy-sur-Orge, 78326, Seine-et-Oise"};
    QTest::newRow("a month") << "91326" << "1967-12" << QStringList{"En décembre 1967 : Juvisy-sur-Orge, 78326, Seine-et-Oise"};
    QTest::newRow("a day") << "91326" << "1968-01-01" << QStringList{"Le 1er janvier 1968 : Juvisy-sur-Orge, 91326, Essonne"};
    QTest::newRow("no thirteenth month") << "91326" << "1967-13" << QStringList{"« 1967-13 » n'est pas une date : " + forms + " ; Retour arrière efface"};
    QTest::newRow("no 30 February") << "91326" << "1968-02-30" << QStringList{"« 1968-02-30 » n'est pas une date : " + forms + " ; Retour arrière efface"};
    QTest::newRow("five digits") << "91326" << "19671" << QStringList{"« 19671 » n'est pas une date : " + forms + " ; Retour arrière efface"};
    QTest::newRow("no year 0") << "91326" << "0000" << QStringList{"« 0000 » n'est pas une date : " + forms + " ; Retour arrière efface"};
    QTest::newRow("several, counted") << "50129" << "1990" << QStringList{"En 1990 : 6 communes",
        "Cherbourg, 50129, Manche", "Équeurdreville-Hainneville, 50173, Manche", "La Glacerie, 50203, Manche",
        "Octeville, 50383, Manche", "Querqueville, 50416, Manche", "Tourlaville, 50602, Manche"};
    QTest::newRow("kinds counted apart") << "50129" << "2020" << QStringList{"En 2020 : une commune et 5 communes déléguées",
        "Cherbourg-en-Cotentin, 50129, Manche", "Cherbourg-Octeville, 50129, commune déléguée, Manche",
        "Équeurdreville-Hainneville, 50173, commune déléguée, Manche", "La Glacerie, 50203, commune déléguée, Manche",
        "Querqueville, 50416, commune déléguée, Manche", "Tourlaville, 50602, commune déléguée, Manche"};
    QTest::newRow("before the history") << "91326" << "1900" << QStringList{"En 1900 : Juvisy-sur-Orge, 78326, Seine-et-Oise",
        "L'histoire ne remonte qu'à 1943 : voici la commune telle qu'elle était alors."};
    QTest::newRow("not yet in the history") << "46337" << "1945" << QStringList{"En 1945, Mayrac n'est pas encore une commune de l'histoire : elle y entre plus tard."};
    // clang-format on
}

void TestCommuneOnDate::lines()
{
    QFETCH(QString, code);
    QFETCH(QString, typed);
    QFETCH(QStringList, lines);
    QCOMPARE(dateAnswerLines(typed, *m_states, today(code)), lines);
}

void TestCommuneOnDate::theCommandLineAgrees_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("date");
    // clang-format off
    QTest::newRow("a change of département") << "91326" << "1967";
    QTest::newRow("unchanged") << "75056" << "1960";
    QTest::newRow("made of several") << "50129" << "1990";
    QTest::newRow("a year that holds a fusion") << "50129" << "2000";
    QTest::newRow("with déléguées") << "50129" << "2020";
    QTest::newRow("associée") << "08233" << "1980";
    QTest::newRow("a commune that absorbed others") << "74010" << "1980";
    // clang-format on
}

// Each of the window's states is what --date finds by its code of that day,
// and each commune --date finds by these codes leading to the shown one is
// one of them.
void TestCommuneOnDate::theCommandLineAgrees()
{
    QFETCH(QString, code);
    QFETCH(QString, date);
    const TodayCommune commune = today(code);
    const std::optional<std::vector<CommuneThen>> then = communeOnDate(*m_states, commune, *parseDatePeriod(date));
    QVERIFY(then && !then->empty());
    QStringList window;
    for (const CommuneThen &state : *then)
        window << state.code + ' ' + state.name + ' ' + state.type;
    for (const CommuneThen &state : *then) {
        SearchTables tables(*m_db, m_communes);
        const std::optional<Query> query = Query::make(state.code, {{}, {}, date});
        QVERIFY(query);
        const SearchMatches found = findCommunes(tables, *query);
        bool leadsHere = false;
        for (const Match &match : found.all()) {
            if (m_communes.rowidOf(match.row) != commune.rowid)
                continue;
            leadsHere = true;
            QVERIFY2(window.contains(match.code + ' ' + match.other.name + ' ' + match.other.kind),
                     qPrintable(match.code + ' ' + match.other.name));
        }
        QVERIFY2(leadsHere, qPrintable(state.code));
    }
}

void TestCommuneOnDate::aFileWithoutHistoryHasNoStates()
{
    QTemporaryDir dir;
    auto db =
        openCommuneDatabase(writeNumberedStore(dir, {commune("BREST", -4.48628, 48.39003, "29200", "FINISTERE")}));
    const CommuneStates states(*db);
    QVERIFY(!states.available());
    const TodayCommune brest{1, QStringLiteral("BREST"), {}};
    QVERIFY(!communeOnDate(states, brest, *parseDatePeriod(u"1967")));
    QCOMPARE(dateAnswerLines(u"1967", states, brest),
             QStringList{QStringLiteral("Ce fichier de données ne dit pas l'histoire des communes.")});
}

QTEST_GUILESS_MAIN(TestCommuneOnDate)
#include "test_commune_on_date.moc"
