#include "SearchStore.h"
#include "names/CommuneSearch.h"
#include "search/FindCommunes.h"
#include "search/NameIndex.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/TableBuilder.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(MatchKind)
Q_DECLARE_METATYPE(SearchMatches::Held)

// The one search every caller asks: which finder answers each kind of text,
// what each match says of how it was found, and how the postal code and the
// département given choose among homonyms, then are eased when nothing
// satisfies them. Every case runs twice: scanning the table, as the window
// searches, and through the indexes of names, as a batch does.
class TestFindCommunes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void kinds_data();
    void kinds();
    void constraints_data();
    void constraints();
    void nearestToAPoint();
    void refusalOfAPositionOffTheGlobe();
    void indexAsScan_data();
    void indexAsScan();
    void storeAloneReadsWhatMayMatch_data();
    void storeAloneReadsWhatMayMatch();

private:
    SearchMatches search(const QString &typed, const Constraints &given, bool indexed);
    QString nameOf(int row) const;

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
    Recordset m_communes;
};

void TestFindCommunes::initTestCase()
{
    const QString path = m_dir.filePath(QStringLiteral("search.sqlite"));
    QVERIFY(writeSearchStore(path));
    m_db = openDatabase(path);
    m_communes = m_db->openRecordset(QStringLiteral("insee1"));
}

SearchMatches TestFindCommunes::search(const QString &typed, const Constraints &given, bool indexed)
{
    SearchTables tables(*m_db, m_communes);
    if (indexed)
        tables.indexNames();
    const std::optional<Query> query = Query::make(typed, given);
    return query ? findCommunes(tables, *query) : SearchMatches();
}

QString TestFindCommunes::nameOf(int row) const
{
    return row < 0 ? QString() : m_communes.column(m_communes.fieldIndex(u"commune")).text(size_t(row)).toString();
}

void TestFindCommunes::kinds_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("row"); // of the first match
    QTest::addColumn<MatchKind>("kind");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("other");
    QTest::addColumn<int>("year");
    // clang-format off
    QTest::newRow("current name") << "Paris" << 1 << 0 << MatchKind::Name << "" << "" << 0;
    QTest::newRow("homonyms in table order") << "passy" << 3 << 1 << MatchKind::Name << "" << "" << 0;
    QTest::newRow("stored unfolded and folded") << "Saint-Denis" << 2 << 8 << MatchKind::Name << "" << "" << 0;
    QTest::newRow("commune déléguée") << "Percy" << 1 << 4 << MatchKind::Deleguee << "" << "PERCY" << 0;
    QTest::newRow("commune associée") << "Cordieux" << 1 << 2 << MatchKind::Associee << "" << "CORDIEUX" << 0;
    QTest::newRow("ancienne commune") << "GOURVILLE" << 1 << 3 << MatchKind::FormerCommune << "" << "GOURVILLE" << 0;
    QTest::newRow("arrondissement, its own code") << "Paris 5e arrondissement" << 1 << 0 << MatchKind::Arrondissement << "75005" << "PARIS 5E ARRONDISSEMENT" << 0;
    QTest::newRow("arrondissement, a leading zero") << "Paris 05" << 1 << 0 << MatchKind::Arrondissement << "75005" << "PARIS 5E ARRONDISSEMENT" << 0;
    QTest::newRow("a name lost in 1943") << "Voisinlieu" << 1 << 6 << MatchKind::FormerName << "" << "VOISINLIEU" << 1943;
    QTest::newRow("postal code, the second of the commune") << "76610" << 1 << 6 << MatchKind::Postcode << "76610" << "" << 0;
    QTest::newRow("postal code pattern") << "1300#" << 1 << 7 << MatchKind::Postcode << "13001" << "" << 0;
    QTest::newRow("INSEE code") << " 75056 " << 1 << 0 << MatchKind::InseeCode << "75056" << "" << 0;
    QTest::newRow("INSEE code of Corsica, any case") << "2b096" << 1 << 12 << MatchKind::InseeCode << "2B096" << "" << 0;
    QTest::newRow("former INSEE code") << "76999" << 1 << 6 << MatchKind::FormerInseeCode << "76999" << "GRAVILLE" << 1955;
    QTest::newRow("article added") << "Havre" << 1 << 6 << MatchKind::UsualForm << "" << "" << 0;
    QTest::newRow("article taken away") << "La Villeneuve" << 2 << 10 << MatchKind::UsualForm << "" << "" << 0;
    QTest::newRow("whole city's code") << "75000" << 1 << 0 << MatchKind::UsualForm << "" << "" << 0;
    QTest::newRow("locator") << "jn18eu" << 1 << 0 << MatchKind::Locator << "" << "" << 0;
    QTest::newRow("a square without a commune: the nearest") << "JN18AA" << 1 << 3 << MatchKind::Nearest << "" << "" << 0;
    QTest::newRow("coordinates") << "48.85 2.35" << 22 << 0 << MatchKind::Coordinates << "" << "" << 0;
    QTest::newRow("coordinates, a letter on the second only") << "48.85 2.35E" << 22 << 0 << MatchKind::Coordinates << "" << "" << 0;
    QTest::newRow("nothing") << "Nulle part" << 0 << -1 << MatchKind::Name << "" << "" << 0;
    // clang-format on
}

void TestFindCommunes::kinds()
{
    QFETCH(QString, typed);
    QFETCH(int, count);
    QFETCH(int, row);
    QFETCH(MatchKind, kind);
    QFETCH(QString, code);
    QFETCH(QString, other);
    QFETCH(int, year);
    for (const bool indexed : {false, true}) {
        const SearchMatches found = search(typed, {}, indexed);
        const QByteArray where = indexed ? "indexed" : "scanned";
        QVERIFY2(found.count() == count, where + ": " + QByteArray::number(found.count()));
        QCOMPARE(found.row(), row);
        if (count == 0)
            continue;
        const Match &first = found.match(0);
        QVERIFY2(first.kind == kind, where);
        QCOMPARE(first.code, code);
        QCOMPARE(first.other.name, other);
        QCOMPARE(first.year, year);
        QCOMPARE(found.held(), SearchMatches::Held::NoneGiven);
        const bool namesAPlace =
            kind == MatchKind::Locator || kind == MatchKind::Coordinates || kind == MatchKind::Nearest;
        QCOMPARE(found.place().has_value(), namesAPlace);
    }
}

void TestFindCommunes::constraints_data()
{
    using Held = SearchMatches::Held;
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("postcode");
    QTest::addColumn<QString>("departement");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("code"); // the postal code the answer gives
    QTest::addColumn<Held>("held");
    // clang-format off
    QTest::newRow("postal code keeps one") << "Passy" << "74190" << "" << 1 << 2 << "74190" << Held::PostcodeAndDepartement;
    QTest::newRow("both hold") << "Passy" << "74190" << "74" << 1 << 2 << "74190" << Held::PostcodeAndDepartement;
    QTest::newRow("a code of the commune not first") << "Marseille" << "13008" << "" << 1 << 7 << "13008" << Held::PostcodeAndDepartement;
    QTest::newRow("the code, not the département given") << "Passy" << "89510" << "74" << 1 << 3 << "89510" << Held::PostcodeOnly;
    QTest::newRow("the code's département") << "Passy" << "74480" << "74" << 1 << 2 << "" << Held::DepartementOnly;
    QTest::newRow("the code's département before the one given") << "Passy" << "74480" << "89" << 1 << 2 << "" << Held::DepartementOnly;
    QTest::newRow("then the département given") << "Passy" << "99999" << "89" << 1 << 3 << "" << Held::DepartementOnly;
    QTest::newRow("département alone") << "Passy" << "" << "74" << 1 << 2 << "" << Held::DepartementOnly;
    QTest::newRow("département by its name") << "Passy" << "" << "Yonne" << 1 << 3 << "" << Held::DepartementOnly;
    QTest::newRow("one digit for 01") << "Villeneuve" << "" << "1" << 1 << 10 << "" << Held::DepartementOnly;
    QTest::newRow("Corsica's 20 is either half") << "Corte" << "20999" << "" << 1 << 12 << "" << Held::DepartementOnly;
    QTest::newRow("none holds: all stay") << "Passy" << "99999" << "" << 3 << 1 << "" << Held::Neither;
    QTest::newRow("a déléguée elsewhere hands on") << "Percy" << "" << "38" << 1 << 5 << "" << Held::DepartementOnly;
    QTest::newRow("a former name and its postal code") << "Voisinlieu" << "76600" << "" << 1 << 6 << "76600" << Held::PostcodeAndDepartement;
    // clang-format on
}

void TestFindCommunes::constraints()
{
    QFETCH(QString, typed);
    QFETCH(QString, postcode);
    QFETCH(QString, departement);
    QFETCH(int, count);
    QFETCH(int, row);
    QFETCH(QString, code);
    QFETCH(SearchMatches::Held, held);
    for (const bool indexed : {false, true}) {
        const SearchMatches found = search(typed, {postcode, departement, {}}, indexed);
        QCOMPARE(found.count(), count);
        QCOMPARE(nameOf(found.row()), nameOf(row));
        QCOMPARE(found.row(), row);
        QCOMPARE(found.postcode(0), code);
        QCOMPARE(found.held(), held);
    }
}

// A click on the map: the nearest first, and two at the same place in
// table order.
void TestFindCommunes::nearestToAPoint()
{
    SearchTables tables(*m_db, m_communes);
    const SearchMatches found = findCommunes(tables, Query::near({46.0, 5.0}, 3));
    QCOMPARE(found.count(), 3);
    QCOMPARE(found.rows()[0], 10);
    QCOMPARE(found.rows()[1], 13);
    QVERIFY(found.match(0).kind == MatchKind::Nearest);
    QVERIFY(!found.place());
}

void TestFindCommunes::refusalOfAPositionOffTheGlobe()
{
    const SearchMatches found = search(QStringLiteral("48 200"), {}, false);
    QCOMPARE(found.count(), 0);
    QVERIFY(found.refusal().contains(QStringLiteral("Longitude")));
}

// The index of names finds what the scan finds, in the same order, over
// tables large enough that its slots run into one another and past the end:
// each name is repeated far apart, and some names must be folded or are
// numbers, or NULL.
void TestFindCommunes::indexAsScan_data()
{
    QTest::addColumn<int>("kind"); // 0 plain names, 1 names to fold, 2 numbers and NULLs among them
    QTest::newRow("plain names, homonyms far apart") << 0;
    QTest::newRow("names stored unfolded") << 1;
    QTest::newRow("numbers and NULLs") << 2;
}

void TestFindCommunes::indexAsScan()
{
    QFETCH(int, kind);
    constexpr int Rows = 6000;
    TableBuilder builder(QStringLiteral("insee1"), {QStringLiteral("commune")}, size_t(1) << 26);
    QStringList queries;
    for (int row = 0; row < Rows; ++row) {
        const int name = (row * 7) % (Rows / 3); // each name three times, 2,000 rows apart
        if (kind == 2 && row % 11 == 0) {
            builder.appendNull(0);
        } else if (kind == 2 && row % 5 == 0) {
            builder.appendInteger(0, name);
            queries << QString::number(name);
        } else {
            const QString text = kind == 1 && row % 2 ? QStringLiteral("Saint-Émile %1").arg(name)
                                                      : QStringLiteral("ST EMILE %1").arg(name);
            builder.appendText(0, text);
            queries << text;
        }
        builder.endRow();
    }
    queries << QStringLiteral("ST EMILE 99999") << QStringLiteral("SAINT EMILE 1");
    const Recordset records(std::make_shared<const TableData>(builder.finish()));
    const NameIndex index(records);
    queries.removeDuplicates();
    for (const QString &typed : std::as_const(queries)) {
        const std::optional<Query> query = Query::make(typed);
        QVERIFY(query && query->isPlainName());
        QCOMPARE(index.find(*query), findAllCommunes(records, query->pattern()));
    }
}

// The store alone, as a one-shot search reads it: a plain name is looked for
// among the rows that may fold to it, and no other row is read. A name too
// long is read too, so that the store is refused as a whole read refuses it.
void TestFindCommunes::storeAloneReadsWhatMayMatch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<int>("read");
    QTest::addColumn<bool>("tooLong");
    const QStringList epinal{"EPINAL", "epinal", "\u00c9pinal", "-Epinal", "Epinal ", "`Epinal", " Epinal", "EPINAL"};
    // clang-format off
    QTest::newRow("same, lower case, accent, separators first, blank last") << "\u00c9pinal" << epinal << 9 << false;
    QTest::newRow("SAINT written out, in lower case") << "St Denis" << QStringList{"SAINT DENIS", "st-denis", "ST DENIS"} << 8 << false;
    QTest::newRow("a name of 256 characters is read") << "\u00c9pinal" << QStringList() << 0 << true;
    // clang-format on
}

void TestFindCommunes::storeAloneReadsWhatMayMatch()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    QFETCH(int, read);
    QFETCH(bool, tooLong);
    const QString path = m_dir.filePath(QStringLiteral("alone %1.sqlite").arg(QTest::currentDataTag()));
    // Read: every E, É, hyphen, back quote or blank first, and the S of ST
    // DENIS; not read: the letters and digits that end their ranges.
    TestStore store;
    store.row(commune("EPINAL", 6.45, 48.17, "88000", "VOSGES"));
    for (const char *name : {"EPINALE",
                             "epinal",
                             "PINAL",
                             "\u00c9pinal",
                             "X\u00e9pinal",
                             "-Epinal",
                             "Ebreuil-sur-Sioule",
                             "Epinal ",
                             "`Epinal",
                             " Epinal",
                             "SAINT DENIS",
                             "st-denis",
                             "ST DENIS",
                             "EPINAL",
                             "Sainte-Denise",
                             "A\u00e9pinal",
                             "Z\u00e9pinal",
                             "a\u00e9pinal",
                             "z\u00e9pinal",
                             "0\u00e9pinal",
                             "9\u00e9pinal"})
        store.row({QString::fromUtf8(name)});
    if (tooLong)
        store.row({QString(256, u'Z')});
    QVERIFY(store.write(path));
    const std::unique_ptr<Database> db = openCommuneDatabase(path);
    SearchTables tables(*db);
    const std::optional<Query> query = Query::make(typed);
    QVERIFY(query && query->isPlainName());
    if (tooLong) {
        QVERIFY_THROWS_EXCEPTION(DatabaseError, findCommunes(tables, *query));
        return;
    }
    const SearchMatches matches = findCommunes(tables, *query);
    QVERIFY(!tables.hasWholeTable());
    const Recordset &rows = tables.communes();
    QCOMPARE(int(rows.recordCount()), read);
    QStringList names;
    for (const int row : matches.rows())
        names << rows.column(rows.fieldIndex(u"commune")).value(size_t(row)).toString();
    QCOMPARE(names, found);
}

QTEST_GUILESS_MAIN(TestFindCommunes)
#include "test_find_communes.moc"
