#include "TestPaths.h"
#include "TestStore.h"
#include "names/NamePattern.h"
#include "search/FindCommunes.h"
#include "search/SearchMatches.h"
#include "store/DatabaseFile.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// What a search found, one match per line: the commune shown, then the
// other name and its kind when one led there, and the postal code that
// matched when there is one.
QString found(const QString &path, const QString &typed)
{
    const std::unique_ptr<Database> db = openDatabase(path);
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    SearchTables tables(*db, communes);
    const SearchMatches matches = findCommunes(tables, *Query::make(typed));
    QStringList lines;
    for (int i = 0; i < matches.count(); ++i) {
        QString line =
            communes.column(communes.fieldIndex(u"commune")).text(size_t(matches.rows()[size_t(i)])).toString();
        if (const OtherName other = matches.otherName(i); !other.name.isEmpty())
            line += QStringLiteral(" < %1 (%2)").arg(other.name, other.kind);
        if (!matches.code(i).isEmpty())
            line += u' ' + matches.code(i);
        lines << line;
    }
    return lines.join(u'\n');
}

} // namespace

// A search that finds no current commune falls back on the other names
// that lead to one: communes déléguées and associées, former communes,
// municipal arrondissements.
class TestOtherNames : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void shippedStore_data();
    void shippedStore();
    void ownStore_data();
    void ownStore();
    void accessFileHasNoOtherNames();

private:
    QTemporaryDir m_dir;
    QString m_store;
};

void TestOtherNames::initTestCase()
{
    // Rows as a user's own store may hold them: a name that is also a
    // current one, rows that lead nowhere, a NULL kind, out of order.
    m_store = TestStore()
                  .rows({commune("BEON", 3.3, 47.9, "89410", "YONNE"), commune("CULOZ BEON", 5.8, 45.8, "01350", "AIN"),
                         commune("PARIS", 2.3428, 48.85661, "75001", "PARIS")})
                  .table("autres_noms", {{"PARIS 2E ARRONDISSEMENT", "arrondissement municipal", 3, "75002"},
                                         {"BEON", "commune déléguée", 2},
                                         {"ANCIEN BEON", "ancienne commune", 2},
                                         {"ANCIEN NULLE PART", "ancienne commune", 4},
                                         {"ANCIEN SANS RENVOI", "ancienne commune", {}},
                                         {"ANCIEN TEXTE", "ancienne commune", "deux"},
                                         {"ANCIEN PARIS", {}, 3},
                                         {"ANCIEN AUTRE", "ancienne commune", 1}})
                  .writeIn(m_dir);
}

void TestOtherNames::shippedStore_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    // clang-format off
    QTest::newRow("commune déléguée, typed as written") << "Cherbourg-Octeville" << "CHERBOURG EN COTENTIN < CHERBOURG OCTEVILLE (commune déléguée)";
    QTest::newRow("commune déléguée of a large town") << "Annecy-le-Vieux" << "ANNECY < ANNECY LE VIEUX (commune déléguée)";
    QTest::newRow("commune déléguée, new name") << "Bellegarde-sur-Valserine" << "VALSERHONE < BELLEGARDE SUR VALSERINE (commune déléguée)";
    QTest::newRow("commune associée") << "Cordieux" << "MONTLUEL < CORDIEUX (commune associée)";
    QTest::newRow("ancienne commune, known by its code only") << "Gourville" << "ROUILLAC < GOURVILLE (ancienne commune)";
    QTest::newRow("arrondissement, its own postal code") << "Paris 15e Arrondissement" << "PARIS < PARIS 15E ARRONDISSEMENT (arrondissement municipal) 75015";
    QTest::newRow("arrondissement by pattern") << "Lyon 3e*" << "LYON < LYON 3E ARRONDISSEMENT (arrondissement municipal) 69003";
    QTest::newRow("current name first, then a former one") << "Beon" << "BEON\nCULOZ BEON < BEON (commune déléguée)";
    QTest::newRow("current name wins, pattern") << "CHERBOURG*" << "CHERBOURG EN COTENTIN";
    QTest::newRow("several, in the order of the communes") << "VIREY" << "ST HILAIRE DU HARCOUET < VIREY (commune déléguée)\nAVRIGNEY VIREY < VIREY (commune associée)";
    QTest::newRow("several leading to one commune") << "MARSEILLE 1*" << "MARSEILLE < MARSEILLE 1ER ARRONDISSEMENT (arrondissement municipal) 13001\nMARSEILLE < MARSEILLE 10E ARRONDISSEMENT (arrondissement municipal) 13010\nMARSEILLE < MARSEILLE 11E ARRONDISSEMENT (arrondissement municipal) 13011\nMARSEILLE < MARSEILLE 12E ARRONDISSEMENT (arrondissement municipal) 13012\nMARSEILLE < MARSEILLE 13E ARRONDISSEMENT (arrondissement municipal) 13013\nMARSEILLE < MARSEILLE 14E ARRONDISSEMENT (arrondissement municipal) 13014\nMARSEILLE < MARSEILLE 15E ARRONDISSEMENT (arrondissement municipal) 13015\nMARSEILLE < MARSEILLE 16E ARRONDISSEMENT (arrondissement municipal) 13016";
    QTest::newRow("postal code first, then an INSEE code") << "75015" << "PARIS 75015\nBRY SUR MARNE < BRY SUR MARNE (changement de département, 1968) 75015";
    QTest::newRow("locator still a locator") << "IN99EP" << "CHERBOURG EN COTENTIN";
    QTest::newRow("no name at all") << "NULLE PART SUR TERRE" << "";
    // clang-format on
}

void TestOtherNames::shippedStore()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QCOMPARE(found(shippedStorePath(), typed), expected);
}

void TestOtherNames::ownStore_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    // clang-format off
    QTest::newRow("a current name, then the others of that name") << "BEON" << "BEON\nCULOZ BEON < BEON (commune déléguée)";
    QTest::newRow("rows that lead nowhere are passed over") << "ANCIEN*" << "BEON < ANCIEN AUTRE (ancienne commune)\nCULOZ BEON < ANCIEN BEON (ancienne commune)\nPARIS < ANCIEN PARIS ()";
    QTest::newRow("folded as current names are") << "Paris 2e-Arrondissement" << "PARIS < PARIS 2E ARRONDISSEMENT (arrondissement municipal) 75002";
    // clang-format on
}

void TestOtherNames::ownStore()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QCOMPARE(found(m_store, typed), expected);
}

// A user's own insee.mdb has no table of other names: the search is the
// one it always was, whether the former names are known or not.
void TestOtherNames::accessFileHasNoOtherNames()
{
    const QString path = fixturePath(QStringLiteral("insee-mdb/insee-full.mdb"));
    REQUIRE_SHARED_FILE(path);
    QCOMPARE(found(path, QStringLiteral("CHERBOURG*")), QStringLiteral("CHERBOURG EN COTENTIN"));
    QCOMPARE(found(path, QStringLiteral("ANNECY LE VIEUX")), QString());
    QCOMPARE(found(path, QStringLiteral("VIREY")), QString());

    // Nor does a store whose table lacks a column this program reads.
    QTemporaryDir dir;
    const QString store = TestStore()
                              .row(commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"))
                              .sql("CREATE TABLE autres_noms(commune TEXT, actuelle INTEGER);"
                                   "INSERT INTO autres_noms VALUES ('LUTECE', 1);")
                              .writeIn(dir);
    QCOMPARE(found(store, QStringLiteral("LUTECE")), QString());
}

QTEST_GUILESS_MAIN(TestOtherNames)
#include "test_other_names.moc"
