#include "SearchStore.h"
#include "TestPaths.h"
#include "search/Lookup.h"
#include "store/CommuneDatabase.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(RefusalReason)
Q_DECLARE_METATYPE(MatchKind)

// What an answer means, decided once for the window and every command: each
// outcome, the reason of each refusal, the nearest commune to a place and the
// distance beyond which none lies there, and the suggestions after a miss.
class TestLookup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void outcomes_data();
    void outcomes();
    void placesNearAndFar_data();
    void placesNearAndFar();
    void suggestionsOnlyWhenAsked();
    void lentSuggestionsAreTheOnesRead();

private:
    QString nameOf(const Recordset &communes, int row) const;

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_small;
    std::unique_ptr<Database> m_shipped;
};

void TestLookup::initTestCase()
{
    const QString path = m_dir.filePath(QStringLiteral("search.sqlite"));
    QVERIFY(writeSearchStore(path));
    m_small = openCommuneDatabase(path);
    m_shipped = openCommuneDatabase(shippedStorePath());
}

QString TestLookup::nameOf(const Recordset &communes, int row) const
{
    return row < 0 ? QString() : communes.column(communes.fieldIndex(u"commune")).value(size_t(row)).toString();
}

void TestLookup::outcomes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("date");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<RefusalReason>("reason");
    QTest::addColumn<QString>("first"); // the first commune found
    QTest::addColumn<QString>("why");   // part of the refusal's text
    // clang-format off
    QTest::newRow("one commune") << "PARIS" << "" << Outcome::Found << RefusalReason::None << "PARIS" << "";
    QTest::newRow("homonyms") << "PASSY" << "" << Outcome::Homonyms << RefusalReason::None << "PASSY" << "";
    QTest::newRow("another name only") << "VOISINLIEU" << "" << Outcome::OtherName << RefusalReason::None << "LE HAVRE" << "";
    QTest::newRow("another name that is also a commune's") << "CORTE" << "" << Outcome::Homonyms << RefusalReason::None << "CORTE" << "";
    QTest::newRow("a code of two communes") << "58120" << "" << Outcome::Homonyms << RefusalReason::None << "CHATEAU CHINON VILLE" << "";
    QTest::newRow("nothing") << "ZZZZZ" << "" << Outcome::None << RefusalReason::None << "" << "";
    QTest::newRow("a malformed pattern") << "[a" << "" << Outcome::Refused << RefusalReason::Pattern << "" << "crochet non fermé";
    QTest::newRow("a date that is none") << "PARIS" << "19x" << Outcome::Refused << RefusalReason::Date << "" << "date invalide";
    QTest::newRow("a date, a file without history") << "PARIS" << "1950" << Outcome::Refused << RefusalReason::NoHistory << "" << "ne dit pas l'histoire";
    QTest::newRow("a latitude off the globe") << "95 200" << "" << Outcome::Refused << RefusalReason::Position << "" << "Latitude hors limites";
    // clang-format on
}

void TestLookup::outcomes()
{
    QFETCH(QString, typed);
    QFETCH(QString, date);
    QFETCH(Outcome, outcome);
    QFETCH(RefusalReason, reason);
    QFETCH(QString, first);
    QFETCH(QString, why);
    SearchTables tables(*m_small);
    const Lookup answer = lookUp(tables, typed, {{}, {}, date});
    QCOMPARE(answer.outcome, outcome);
    QCOMPARE(answer.reason, reason);
    QVERIFY2(answer.why.contains(why), qPrintable(answer.why));
    QCOMPARE(answer.why.isEmpty(), why.isEmpty());
    QCOMPARE(nameOf(tables.communes(), answer.matches.row()), first);
    QCOMPARE(answer.query.has_value(),
             outcome != Outcome::Refused || reason == RefusalReason::Position || reason == RefusalReason::NoHistory);
}

void TestLookup::placesNearAndFar_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<MatchKind>("kind");
    QTest::addColumn<QString>("nearest"); // the commune answered, or the one too far
    QTest::addColumn<int>("km");          // its distance, rounded; -1 when none is told
    // clang-format off
    QTest::newRow("an 8-character square inside Paris") << "JN18EU47" << Outcome::Found << MatchKind::Nearest << "PARIS" << 2;
    QTest::newRow("a square with communes in it") << "JN18" << Outcome::Homonyms << MatchKind::Locator << "" << -1;
    QTest::newRow("a square at sea") << "IN83" << Outcome::NothingHere << MatchKind::Nearest << "HENDAYE" << 101;
    QTest::newRow("a position in Paris") << "48.8566 2.3522" << Outcome::Found << MatchKind::Coordinates << "PARIS" << 1;
    QTest::newRow("a position at sea") << "46 -4" << Outcome::NothingHere << MatchKind::Coordinates << "L ILE D YEU" << 149;
    // clang-format on
}

// A place is answered by the nearest commune within NearKm, and by none beyond.
void TestLookup::placesNearAndFar()
{
    QFETCH(QString, typed);
    QFETCH(Outcome, outcome);
    QFETCH(MatchKind, kind);
    QFETCH(QString, nearest);
    QFETCH(int, km);
    SearchTables tables(*m_shipped);
    const Lookup answer = lookUp(tables, typed);
    QCOMPARE(answer.outcome, outcome);
    QCOMPARE(answer.matches.match(0).kind, kind);
    QCOMPARE(answer.nearest.has_value(), km >= 0);
    if (answer.nearest) {
        QCOMPARE(nameOf(tables.communes(), answer.nearest->row), nearest);
        QCOMPARE(qRound(answer.nearest->km), km);
    }
}

void TestLookup::suggestionsOnlyWhenAsked()
{
    SearchTables tables(*m_small);
    const Lookup asked = lookUp(tables, u"MARSEILE");
    QCOMPARE(asked.outcome, Outcome::None);
    QVERIFY(!asked.suggestions.empty());
    QCOMPARE(nameOf(tables.communes(), asked.suggestions.front().row), QStringLiteral("MARSEILLE"));
    QVERIFY(lookUp(tables, u"MARSEILE", {}, Suggest::Never).suggestions.empty());
    // A commune found has nothing to suggest.
    QVERIFY(lookUp(tables, u"MARSEILLE").suggestions.empty());
}

// The window lends the index it made while the user typed: none is made again.
void TestLookup::lentSuggestionsAreTheOnesRead()
{
    SearchTables tables(*m_small);
    int asked = 0;
    tables.lendSuggestions([&asked]() -> const SuggestionIndex * {
        ++asked;
        return nullptr;
    });
    const Lookup answer = lookUp(tables, u"MARSEILE");
    QCOMPARE(answer.outcome, Outcome::None);
    QCOMPARE(asked, 1);
    QVERIFY(answer.suggestions.empty());
}

QTEST_GUILESS_MAIN(TestLookup)
#include "test_lookup.moc"
