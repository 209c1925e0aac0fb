#include "SearchStore.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "geo/MaidenheadLocator.h"
#include "search/FindCommunes.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseFile.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(MatchKind)

// What the search answers to a typed text, asked of the search itself: the
// commune it finds first, how, with which postal code, département and
// locator; on the shipped store, on a small store of the kinds of postal
// codes, and on stores made for one question (a misspelt name, a date).
class TestSearchRows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void rows_data();
    void rows();
    void refused_data();
    void refused();
    void firstInTableOrder_data();
    void firstInTableOrder();
    void atADate_data();
    void atADate();

private:
    struct Store
    {
        std::unique_ptr<Database> db;
        Recordset communes;
    };
    Store &store(const QString &name);
    QString field(const Store &store, int row, const char *name) const;

    QTemporaryDir m_dir;
    std::map<QString, Store> m_stores;
};

namespace {

// Communes chosen for their postal codes and names: one of each kind the
// display treats apart, and the two spellings of one name.
TestStore smallStore()
{
    return TestStore().rows({
        commune("L ABERGEMENT CLEMENCIAT", 4.92582, 46.15343, "01400", "AIN"),
        commune("AJACCIO", 8.7369, 41.9192, "20000", "CORSE-DU-SUD"),
        commune("LES ABYMES", -61.5038, 16.2727, "97139", "GUADELOUPE"),
        commune("CERGY", 2.0761, 49.0364, "95000", "VAL-D'OISE"),
        commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
        commune("LA ROCHE SUR YON", -1.4265, 46.6705, "85000", "VENDEE"),
        commune("AB TOWN", 1.5, 45.5, "AB123", "NULLE PART"),
        commune("BOURG EN BRESSE", 5.2258, 46.2052, "01000", "AIN"),
        commune("EVIAN LES BAINS", 6.59, 46.4, "74500", "HAUTE-SAVOIE"),
        commune(QString::fromUtf8("ÉVIAN"), 6.59, 46.4, "74500", "HAUTE-SAVOIE"),
    });
}

// Today's commune nouvelle and the states it went through, as the shipped
// table etats holds them.
TestStore datedStore()
{
    return TestStore({"commune", "longitude", "latitude", "codepos", "departement", "code_insee"})
        .rows({{"CHERBOURG EN COTENTIN", -1.62, 49.63, "50100", "MANCHE", "50129"},
               {"BREST", -4.48628, 48.39003, "29200", "FINISTERE", "29019"}})
        .table("etats", {{"50129", "CHERBOURG", "commune", "", "2000-02-28", 1, "Cherbourg"},
                         {"50129", "CHERBOURG OCTEVILLE", "commune", "2000-02-28", "2016-01-01", 1},
                         {"50129", "CHERBOURG EN COTENTIN", "commune", "2016-01-01", "", 1},
                         {"50129", "CHERBOURG OCTEVILLE", "commune déléguée", "2016-01-01", "", 1},
                         {"50383", "OCTEVILLE", "commune", "", "2000-02-28", 1, "Octeville"}})
        .table("departements", {{"50", "MANCHE", "Manche", "Normandie"}, {"29", "FINISTERE", "Finistère", "Bretagne"}});
}

} // namespace

void TestSearchRows::initTestCase()
{
    const std::map<QString, TestStore> built = {
        {"small", smallStore()}, {"search", searchStore()}, {"dated", datedStore()}};
    for (const auto &[name, content] : built) {
        const QString path = m_dir.filePath(name + ".sqlite");
        QVERIFY(content.write(path));
        Store &opened = m_stores[name];
        opened.db = openCommuneDatabase(path);
        opened.communes = opened.db->openRecordset(QStringLiteral("insee1"));
    }
}

TestSearchRows::Store &TestSearchRows::store(const QString &name)
{
    if (name == QLatin1String("shipped") && !m_stores.count(name)) {
        Store &shipped = m_stores[name];
        shipped.db = openCommuneDatabase(shippedStorePath());
        shipped.communes = shipped.db->openRecordset(QStringLiteral("insee1"));
    }
    return m_stores.at(name);
}

QString TestSearchRows::field(const Store &store, int row, const char *name) const
{
    const int column = store.communes.table()->columnIndex(QString::fromLatin1(name));
    return row < 0 || column < 0 ? QString() : store.communes.column(column).value(size_t(row)).toString();
}

void TestSearchRows::rows_data()
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

void TestSearchRows::rows()
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
void TestSearchRows::refused_data()
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

void TestSearchRows::refused()
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

// Every search starts from the first record: homonyms in table order.
void TestSearchRows::firstInTableOrder_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("rows");
    // clang-format off
    QTest::newRow("homonyms") << "sainte marie" << QList<int>{1, 3};
    QTest::newRow("a longer name") << "sainte marie du mont" << QList<int>{4};
    QTest::newRow("a star last") << "sainte*" << QList<int>{1, 3, 4};
    QTest::newRow("a star first") << "*MARIE" << QList<int>{1, 3};
    // clang-format on
}

void TestSearchRows::firstInTableOrder()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, rows);
    static const QString path =
        TestStore()
            .rows({commune("AAA", 1.0, 45.0, "03000", "ALLIER"), commune("SAINTE MARIE", 2.0, 46.0, "01000", "AIN"),
                   commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                   commune("SAINTE MARIE", 9.0, 42.0, "20000", "CORSE"),
                   commune("SAINTE MARIE DU MONT", 3.0, 47.0, "50480", "MANCHE")})
            .writeIn(m_dir);
    const std::unique_ptr<Database> db = openCommuneDatabase(path);
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    SearchTables tables(*db, communes);
    const SearchMatches found = findCommunes(tables, *Query::make(typed));
    QCOMPARE(QList<int>(found.rows().begin(), found.rows().end()), rows);
}

// A search at a date finds what the name designated that day, and nothing
// of today's that did not exist yet.
void TestSearchRows::atADate_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("then"); // its name, INSEE code and type that day
    // clang-format off
    QTest::newRow("a commune nouvelle, before it existed") << "Cherbourg-en-Cotentin" << "1990" << 0 << "";
    QTest::newRow("a commune nouvelle, the year before") << "Cherbourg-en-Cotentin" << "2015-12-31" << 0 << "";
    QTest::newRow("a commune nouvelle, its first day") << "Cherbourg-en-Cotentin" << "2016-01-01" << 1 << "CHERBOURG EN COTENTIN 50129 commune";
    QTest::newRow("a former commune, the day before its merger") << "Octeville" << "1999-12-31" << 1 << "Octeville 50383 commune";
    QTest::newRow("a former commune, the day of its merger") << "Octeville" << "2000-02-28" << 0 << "";
    QTest::newRow("a merged commune, then a déléguée") << "Cherbourg-Octeville" << "2020" << 1 << "CHERBOURG OCTEVILLE 50129 commune déléguée";
    QTest::newRow("by its code of the time") << "50383" << "1990" << 1 << "Octeville 50383 commune";
    QTest::newRow("a commune as it has always been") << "Brest" << "1950" << 1 << "BREST 29019 commune";
    // clang-format on
}

void TestSearchRows::atADate()
{
    QFETCH(QString, typed);
    QFETCH(QString, date);
    QFETCH(int, count);
    QFETCH(QString, then);
    Store &dated = store(QStringLiteral("dated"));
    SearchTables tables(*dated.db, dated.communes);
    const SearchMatches found = findCommunes(tables, *Query::make(typed, {{}, {}, date}));
    QCOMPARE(found.count(), count);
    if (count == 0)
        return;
    const Match &first = found.match(0);
    QVERIFY(first.kind == MatchKind::AtDate);
    QCOMPARE(QStringList({first.other.name, first.code, first.other.kind}).join(u' '), then);
}

QTEST_GUILESS_MAIN(TestSearchRows)
#include "test_search_rows.moc"
