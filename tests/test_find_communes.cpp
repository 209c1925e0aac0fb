#include "SearchStore.h"
#include "TestPaths.h"
#include "geo/MaidenheadLocator.h"
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
    void answers_data();
    void answers();
    void unreadable_data();
    void unreadable();

private:
    SearchMatches search(const QString &typed, const Constraints &given, bool indexed);
    QString nameOf(int row) const;

    struct Store
    {
        std::unique_ptr<Database> db;
        Recordset communes;
    };
    // « search », « small » or « shipped », opened when first asked.
    Store &store(const QString &name);
    QString field(const Store &store, int row, const char *name) const;

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
    Recordset m_communes;
    std::map<QString, Store> m_stores;
};

namespace {

// Communes chosen for their postal codes and names: one of each kind the
// display treats apart, and the two spellings of one name.
TestStore smallStore()
{
    return TestStore().rows(displayKindsCommunes());
}

} // namespace

void TestFindCommunes::initTestCase()
{
    const QString path = m_dir.filePath(QStringLiteral("search.sqlite"));
    QVERIFY(writeSearchStore(path));
    QVERIFY(smallStore().write(m_dir.filePath(QStringLiteral("small.sqlite"))));
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
    TestStore store = TestStore().row(commune("EPINAL", 6.45, 48.17, "88000", "VOSGES"));
    store.sql(
        "INSERT INTO insee1(commune) VALUES('EPINALE'), ('epinal'), ('PINAL'), ('\u00c9pinal'), ('X\u00e9pinal'), "
        "('-Epinal'), ('Ebreuil-sur-Sioule'), ('Epinal '), ('`Epinal'), (' Epinal'), ('SAINT DENIS'), "
        "('st-denis'), ('ST DENIS'), ('EPINAL'), ('Sainte-Denise'), ('A\u00e9pinal'), ('Z\u00e9pinal'), "
        "('a\u00e9pinal'), ('z\u00e9pinal'), ('0\u00e9pinal'), ('9\u00e9pinal');");
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

TestFindCommunes::Store &TestFindCommunes::store(const QString &name)
{
    if (!m_stores.count(name)) {
        Store &opened = m_stores[name];
        opened.db = openCommuneDatabase(name == QLatin1String("shipped") ? shippedStorePath()
                                                                         : m_dir.filePath(name + ".sqlite"));
        opened.communes = opened.db->openRecordset(QStringLiteral("insee1"));
    }
    return m_stores.at(name);
}

QString TestFindCommunes::field(const Store &store, int row, const char *name) const
{
    const int column = store.communes.table()->columnIndex(QString::fromLatin1(name));
    return row < 0 || column < 0 ? QString() : store.communes.column(column).value(size_t(row)).toString();
}

// What the window and the command line show of the first commune found:
// its name as INSEE writes it, how it was found, its postal code, its
// département's code and its locator; on the shipped store too.
void TestFindCommunes::answers_data()
{
    QTest::addColumn<QString>("store");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("postcode"); // given beside the text
    QTest::addColumn<int>("count");        // how many communes it finds; -1: not asked
    QTest::addColumn<QString>("name");     // the first: its name as INSEE writes it, else as stored
    QTest::addColumn<MatchKind>("kind");
    QTest::addColumn<QString>("code");        // the postal code shown: the one that matched, else codepos
    QTest::addColumn<QString>("departement"); // its code
    QTest::addColumn<QString>("locator");     // the start of its own locator
    using K = MatchKind;
    // clang-format off
    QTest::newRow("PARIS") << "shipped" << "PARIS" << "" << 1 << "Paris" << K::Name << "75001" << "75" << "JN18EU";
    QTest::newRow("brest") << "shipped" << "brest" << "" << 1 << "Brest" << K::Name << "29200" << "29" << "IN78RJ";
    QTest::newRow("name with a blank") << "shipped" << "st etienne" << "" << -1 << "Saint-Étienne" << K::Name << "42000" << "42" << "JN";
    QTest::newRow("pattern") << "shipped" << "ST ETIENN?" << "" << -1 << "Saint-Étienne" << K::Name << "42000" << "42" << "JN";
    QTest::newRow("Corsica") << "shipped" << "ajaccio" << "" << 1 << "Ajaccio" << K::Name << "20000" << "2A" << "JN";
    QTest::newRow("near the end") << "shipped" << "sada" << "" << 1 << "Sada" << K::Name << "97640" << "976" << "LH";
    QTest::newRow("natural spelling") << "shipped" << "Saint-Étienne" << "" << -1 << "Saint-Étienne" << K::Name << "42000" << "42" << "JN";
    QTest::newRow("apostrophes") << "shipped" << "l'Île-d'Yeu" << "" << 1 << "L'Île-d'Yeu" << K::Name << "85350" << "85" << "IN";
    QTest::newRow("Sainte as a word") << "shipped" << "Sainte-Marie" << "" << -1 << "Sainte-Marie" << K::Name << "08400" << "08" << "JN";
    QTest::newRow("typographic apostrophe") << "shipped" << "Ville-d’Avray" << "" << 1 << "Ville-d'Avray" << K::Name << "92410" << "92" << "JN18";
    // Each postal code is also an INSEE code, the commune of which comes second.
    QTest::newRow("Paris, 15th") << "shipped" << "75015" << "" << 2 << "Paris" << K::Postcode << "75015" << "75" << "JN18EU";
    QTest::newRow("Marseille, 8th") << "shipped" << "13008" << "" << 2 << "Marseille" << K::Postcode << "13008" << "13" << "JN";
    QTest::newRow("a code shared by five") << "shipped" << "01410" << "" << 6 << "Champfromier" << K::Postcode << "01410" << "01" << "JN";
    QTest::newRow("code with wildcards") << "shipped" << "7501#" << "" << -1 << "Paris" << K::Postcode << "75010" << "75" << "JN18EU";
    QTest::newRow("Paris's own square") << "shipped" << "jn18eu" << "" << -1 << "Paris" << K::Locator << "75001" << "75" << "JN18EU";
    QTest::newRow("Brest's own square") << "shipped" << "IN78RJ" << "" << -1 << "Brest" << K::Locator << "29200" << "29" << "IN78RJ";
    QTest::newRow("open sea: the nearest, outside the square") << "shipped" << "IN88AA" << "" << 1 << "" << K::Nearest << "" << "" << "";
    QTest::newRow("open sea, far: Hendaye") << "shipped" << "IN83" << "" << 1 << "Hendaye" << K::Nearest << "64700" << "64" << "IN93";
    // A misspelt name, the postal code given settles it: one edit, then two.
    QTest::newRow("misspelt by one, 13008 given") << "search" << "MARSEILE" << "13008" << 1 << "MARSEILLE" << K::Correction << "13008" << "13" << "JN";
    QTest::newRow("misspelt by two, 13008 given") << "search" << "MARCEILE" << "13008" << 1 << "MARSEILLE" << K::Correction << "13008" << "13" << "JN";
    QTest::newRow("misspelt by three: none") << "search" << "MARCELE" << "13008" << 0 << "" << K::Name << "" << "" << "";
    QTest::newRow("small: a name") << "small" << "paris" << "" << 1 << "PARIS" << K::Name << "75001" << "75" << "JN18EU";
    QTest::newRow("small: trailing blank") << "small" << "paris " << "" << 1 << "PARIS" << K::Name << "75001" << "75" << "JN18";
    QTest::newRow("small: leading blank") << "small" << " paris" << "" << 1 << "PARIS" << K::Name << "75001" << "75" << "JN18";
    QTest::newRow("small: hyphens") << "small" << "la-roche-sur-yon" << "" << 1 << "LA ROCHE SUR YON" << K::Name << "85000" << "85" << "IN96";
    QTest::newRow("small: hyphens and a star") << "small" << "évian-les-*" << "" << 1 << "EVIAN LES BAINS" << K::Name << "74500" << "74" << "JN36";
    QTest::newRow("small: apostrophe and accent") << "small" << "l'abergement-clémenciat" << "" << 1 << "L ABERGEMENT CLEMENCIAT" << K::Name << "01400" << "01" << "JN26LD";
    QTest::newRow("small: combining accent") << "small" << "E\u0301VIAN" << "" << 1 << "ÉVIAN" << K::Name << "74500" << "74" << "JN36";
    QTest::newRow("small: accented") << "small" << "évian" << "" << 1 << "ÉVIAN" << K::Name << "74500" << "74" << "JN36";
    QTest::newRow("small: a star, the first in table order") << "small" << "evian*" << "" << 2 << "EVIAN LES BAINS" << K::Name << "74500" << "74" << "JN36";
    QTest::newRow("small: postal code in codepos") << "small" << "74500" << "" << 2 << "EVIAN LES BAINS" << K::Postcode << "74500" << "74" << "JN36";
    QTest::newRow("small: Corsica") << "small" << "ajaccio" << "" << 1 << "AJACCIO" << K::Name << "20000" << "2A" << "JN";
    QTest::newRow("small: overseas") << "small" << "les abymes" << "" << 1 << "LES ABYMES" << K::Name << "97139" << "971" << "FK";
    QTest::newRow("small: letters for a code") << "small" << "ab town" << "" << 1 << "AB TOWN" << K::Name << "AB123" << "" << "JN05";
    QTest::newRow("small: a lone star, the first record") << "small" << "*" << "" << 10 << "L ABERGEMENT CLEMENCIAT" << K::Name << "01400" << "01" << "JN26LD";
    QTest::newRow("small: unknown name") << "small" << "NULLE PART" << "" << 0 << "" << K::Name << "" << "" << "";
    QTest::newRow("small: empty text") << "small" << "" << "" << 0 << "" << K::Name << "" << "" << "";
    QTest::newRow("small: part of a name") << "small" << "PARI" << "" << 0 << "" << K::Name << "" << "" << "";
    QTest::newRow("small: digit wildcard") << "small" << "PARIS#" << "" << 0 << "" << K::Name << "" << "" << "";
    QTest::newRow("small: excluded list") << "small" << "[!P]ARIS" << "" << 0 << "" << K::Name << "" << "" << "";
    // clang-format on
}

void TestFindCommunes::answers()
{
    QFETCH(QString, store);
    QFETCH(QString, typed);
    QFETCH(QString, postcode);
    QFETCH(int, count);
    QFETCH(QString, name);
    QFETCH(MatchKind, kind);
    QFETCH(QString, code);
    QFETCH(QString, departement);
    QFETCH(QString, locator);
    if (store == QLatin1String("shipped"))
        REQUIRE_SHARED_FILE(shippedStorePath());
    Store &asked = this->store(store);
    SearchTables tables(*asked.db, asked.communes);
    QString why;
    const std::optional<Query> query = Query::make(typed, {postcode, {}, {}}, &why);
    QVERIFY2(query, qPrintable(why));
    const SearchMatches found = findCommunes(tables, *query);
    QVERIFY(found.refusal().isEmpty());
    if (count >= 0)
        QCOMPARE(found.count(), count);
    const int row = found.row();
    if (count == 0) {
        QCOMPARE(row, -1);
        return;
    }
    QVERIFY(row >= 0);
    QVERIFY2(found.match(0).kind == kind, qPrintable(matchKindWords(found.match(0))));
    const QString official = field(asked, row, "nom");
    if (!name.isEmpty())
        QCOMPARE(official.isEmpty() ? field(asked, row, "commune") : official, name);
    const QString matched = found.postcode(0);
    if (!code.isEmpty())
        QCOMPARE(matched.isEmpty() ? field(asked, row, "codepos") : matched, code);
    if (!departement.isEmpty())
        QCOMPARE(tables.departementCode(row), departement);
    const QString own =
        maidenheadLocator(field(asked, row, "latitude").toDouble(), field(asked, row, "longitude").toDouble());
    QVERIFY2(own.startsWith(locator), qPrintable(own));
    // A square without a commune: its nearest lies outside it.
    if (kind == MatchKind::Nearest)
        QVERIFY(!own.startsWith(query->trimmed().toString().toUpper()));
}

// Texts the search cannot read say why; none stops the program, however
// long or odd.
void TestFindCommunes::unreadable_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused"); // with a reason that starts « Motif de recherche invalide »
    // clang-format off
    QTest::newRow("[ab") << "[ab" << true;
    QTest::newRow("[]") << "[]" << true;
    QTest::newRow("[!]") << "[!]" << true;
    QTest::newRow("paris[") << "paris[" << true;
    QTest::newRow("*[a-") << "*[a-" << true;
    QTest::newRow("64 KB of ?") << QString(65536, u'?') << true;
    QTest::newRow("64 KB of *A") << QStringLiteral("*A").repeated(32768) << true;
    QTest::newRow("64 KB of [A-Z]") << QStringLiteral("[A-Z]").repeated(13108) << true;
    QTest::newRow("64 KB ending in a bracket") << QString(65535, u'A') + u'[' << true;
    QTest::newRow("control characters") << QStringLiteral("PA\tR\x01IS\x7f\r\n") << false;
    QTest::newRow("NUL inside") << QStringLiteral("PARIS") + QChar(0) + QStringLiteral("*") << false;
    QTest::newRow("emoji") << QStringLiteral("*\U0001F600*") << false;
    QTest::newRow("lone surrogate") << QString(QChar(0xd800)) + QStringLiteral("*") << false;
    QTest::newRow("Greek and Arabic") << QStringLiteral("αθήνα \u0627\u0644\u0642\u0627\u0647\u0631\u0629") << false;
    QTest::newRow("sharp s") << QStringLiteral("straße") << false;
    QTest::newRow("list of emoji") << QStringLiteral("[\U0001F600-\U0001F64F]*") << false;
    // clang-format on
}

void TestFindCommunes::unreadable()
{
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    QString why;
    const std::optional<Query> query = Query::make(typed, {}, &why);
    if (refused) {
        QVERIFY(!query);
        QVERIFY2(why.startsWith(QStringLiteral("Motif de recherche invalide")), qPrintable(why));
        QVERIFY2(why.size() < 200, qPrintable(why));
        return;
    }
    QVERIFY2(query, qPrintable(why));
    Store &small = store(QStringLiteral("small"));
    SearchTables tables(*small.db, small.communes);
    QCOMPARE(findCommunes(tables, *query).count(), 0);
}

QTEST_GUILESS_MAIN(TestFindCommunes)
#include "test_find_communes.moc"
