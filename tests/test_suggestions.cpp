#include "TestPaths.h"
#include "TestStore.h"
#include "names/Suggestions.h"
#include "store/DatabaseFile.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList names(const std::vector<Suggestion> &suggestions)
{
    QStringList list;
    for (const Suggestion &suggestion : suggestions)
        list << suggestion.name;
    return list;
}

// One edit of a name, of a kind and at a place that the number chooses.
QString typo(const QString &name, int n)
{
    QString typed = name;
    const qsizetype at = 1 + n % std::max<qsizetype>(1, name.size() - 2);
    switch (n % 4) {
    case 0:
        return typed.remove(at, 1);
    case 1:
        return typed.insert(at, QChar(u'A' + n % 26));
    case 2:
        std::swap(typed[at - 1], typed[at]);
        return typed;
    default:
        typed[at] = typed[at] == u'E' ? u'A' : u'E';
        return typed;
    }
}

} // namespace

class TestSuggestions : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_db = openDatabase(shippedStorePath());
        m_communes = m_db->openRecordset(QStringLiteral("insee1"));
        m_index = std::make_unique<SuggestionIndex>(m_communes, m_db.get());
    }

    void editDistance_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("edits");
        QTest::newRow("a letter dropped") << "MARSEILE"
                                          << "MARSEILLE" << 1;
        QTest::newRow("neighbours swapped") << "BORDAEUX"
                                            << "BORDEAUX" << 1;
        QTest::newRow("replaced and added") << "BORDAUXX"
                                            << "BORDEAUX" << 2;
        QTest::newRow("too far, capped") << "ABC"
                                         << "XYZW" << 3;
        QTest::newRow("from nothing") << ""
                                      << "AB" << 2;
    }
    void editDistance()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, edits);
        QCOMPARE(boundedEditDistance(a, b, 2), edits);
        QCOMPARE(boundedEditDistance(b, a, 2), edits);
    }

    void typosLeadToTheLargerCommune_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("first");
        QTest::newRow("Marseile") << "Marseile"
                                  << "MARSEILLE";
        QTest::newRow("Bordaux") << "Bordaux"
                                 << "BORDEAUX";
        QTest::newRow("accents and hyphen") << "Saint-Étiene"
                                            << "ST ETIENNE";
        QTest::newRow("another name") << "Cherbourg-Octevile"
                                      << "CHERBOURG OCTEVILLE";
    }
    void typosLeadToTheLargerCommune()
    {
        QFETCH(QString, typed);
        QFETCH(QString, first);
        const std::vector<Suggestion> found = m_index->afterTypo(typed);
        QVERIFY2(!found.empty() && found.size() <= 5, qPrintable(names(found).join(u',')));
        QCOMPARE(found.front().name, first);
        for (size_t i = 1; i < found.size(); ++i)
            QVERIFY(found[i - 1].edits < found[i].edits
                    || (found[i - 1].edits == found[i].edits && found[i - 1].population >= found[i].population));
    }

    void nothingForPatternsOrFarTexts()
    {
        QVERIFY(m_index->afterTypo(u"MARS*").empty());
        QVERIFY(m_index->afterTypo(u"XQZWXQZW").empty());
        QVERIFY(m_index->whileTyping(u"B").empty());
        QVERIFY(m_index->whileTyping(u"BOR?").empty());
    }

    void whileTypingStartsThenWords()
    {
        const std::vector<Suggestion> found = m_index->whileTyping(u"bord", 8);
        QCOMPARE(found.size(), size_t(8));
        QCOMPARE(found.front().name, QStringLiteral("BORDEAUX"));
        bool inLaterWords = false;
        for (const Suggestion &suggestion : found) {
            const bool starts = suggestion.name.startsWith(u"BORD");
            QVERIFY2(starts || suggestion.name.contains(u" BORD"), qPrintable(suggestion.name));
            QVERIFY2(!(inLaterWords && starts), "a name that starts with the text after one that does not");
            inLaterWords = inLaterWords || !starts;
        }
        QCOMPARE(m_index->whileTyping(u"Saint-Étienne", 1).front().name, QStringLiteral("ST ETIENNE"));
    }

    // A user's own table has no population: table order, and no failure.
    void ownTableWithoutPopulation()
    {
        QTemporaryDir dir;
        const QString path = writeNumberedStore(dir, {commune("LAVAL", 1.0, 2.0, "53000", "MAYENNE"),
                                                      commune("LA VALETTE", 1.0, 2.0, "83160", "VAR"),
                                                      commune("LAVAL", 1.0, 2.0, "38190", "ISERE")});
        const std::unique_ptr<Database> db = openDatabase(path);
        const SuggestionIndex index(db->openRecordset(QStringLiteral("insee1")), db.get());
        const std::vector<Suggestion> found = index.whileTyping(u"LAVAL");
        QCOMPARE(names(found), QStringList({"LAVAL", "LAVAL"}));
        QCOMPARE(found[1].row, 2);
        QCOMPARE(names(index.afterTypo(u"LAVALE")), QStringList({"LAVAL"}));
    }

    // A current name and another name that read the same, with the same
    // population (none): the current commune is the one proposed.
    void currentNameBeforeAnOtherNameOfTheSameRank()
    {
        QTemporaryDir dir;
        const QString path = TestStore()
                                 .rows({commune("CHATEAU", 1.0, 2.0, "53100", "MAYENNE"),
                                        commune("LAVAL", 1.0, 2.0, "53000", "MAYENNE")})
                                 .table("autres_noms", {{"LAVAL", "commune déléguée", 1}})
                                 .writeIn(dir);
        const std::unique_ptr<Database> store = openDatabase(path);
        const SuggestionIndex index(store->openRecordset(QStringLiteral("insee1")), store.get());
        const std::vector<Suggestion> found = index.afterTypo(u"LAVALE");
        QCOMPARE(names(found), QStringList({"LAVAL"}));
        QCOMPARE(found.front().row, 1);
    }

    // One edit of a hundred communes of 5,000 inhabitants or more, spread
    // over the table: the commune is among the suggestions, most often first.
    void hundredTyposOfLargerCommunes()
    {
        const Column &stored = m_communes.column(m_communes.fieldIndex(u"commune"));
        const Column &population = m_communes.column(m_communes.fieldIndex(u"population"));
        std::vector<int> larger;
        for (int row = 0; row < m_communes.recordCount(); ++row)
            if (population.value(size_t(row)).toLongLong() >= 5000 && stored.text(size_t(row)).size() >= 4)
                larger.push_back(row);
        int among = 0;
        int first = 0;
        for (int n = 0; n < 100; ++n) {
            const int row = larger[size_t(n) * larger.size() / 100];
            const std::vector<Suggestion> found = m_index->afterTypo(typo(stored.text(size_t(row)).toString(), n));
            const auto at = std::find_if(found.begin(), found.end(), [&](const Suggestion &s) { return s.row == row; });
            among += at != found.end();
            first += at == found.begin() && at != found.end();
        }
        qInfo("%d of 100 typos among the suggestions, %d first", among, first);
        QVERIFY(among >= 95);
        QVERIFY(first >= 85);
    }

private:
    std::unique_ptr<Database> m_db;
    Recordset m_communes;
    std::unique_ptr<SuggestionIndex> m_index;
};

QTEST_GUILESS_MAIN(TestSuggestions)
#include "test_suggestions.moc"
