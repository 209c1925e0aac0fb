// Great-circle distances and bearings against independent figures, and the
// geographic index against a plain scan of every row.
#include "TestPaths.h"
#include "geometry/NearestCommunes.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/TableBuilder.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

namespace {

Recordset tableOf(const std::vector<std::pair<QVariant, QVariant>> &positions, size_t limit = SIZE_MAX)
{
    TableBuilder builder(QStringLiteral("insee1"), {"commune", "longitude", "latitude"}, limit);
    for (const auto &[longitude, latitude] : positions) {
        builder.appendText(0, QStringLiteral("X"));
        builder.append(1, longitude);
        builder.append(2, latitude);
        builder.endRow();
    }
    return Recordset(std::make_shared<const TableData>(builder.finish()));
}

int rowNamed(const Recordset &records, const QString &name)
{
    const Column &names = records.column(records.fieldIndex(u"commune"));
    for (size_t row = 0; row < names.size(); ++row)
        if (names.text(row) == name)
            return int(row);
    return -1;
}

} // namespace

class TestNearestCommunes : public QObject
{
    Q_OBJECT
private slots:
    void bearings_data()
    {
        QTest::addColumn<GeoPoint>("from");
        QTest::addColumn<GeoPoint>("to");
        QTest::addColumn<double>("degrees");
        QTest::newRow("north") << GeoPoint{0, 0} << GeoPoint{1, 0} << 0.0;
        QTest::newRow("east") << GeoPoint{0, 0} << GeoPoint{0, 1} << 90.0;
        QTest::newRow("south") << GeoPoint{0, 0} << GeoPoint{-1, 0} << 180.0;
        QTest::newRow("west") << GeoPoint{0, 0} << GeoPoint{0, -1} << 270.0;
        QTest::newRow("same place") << GeoPoint{48, 2} << GeoPoint{48, 2} << 0.0;
        QTest::newRow("across 180°") << GeoPoint{0, 179.5} << GeoPoint{0, -179.5} << 90.0;
        // The textbook route: Valparaíso to Shanghai leaves at course -94.41°.
        QTest::newRow("Valparaíso to Shanghai") << GeoPoint{-33, -71.6} << GeoPoint{31.4, 121.8} << 265.59;
    }
    void bearings()
    {
        QFETCH(GeoPoint, from);
        QFETCH(GeoPoint, to);
        QFETCH(double, degrees);
        QVERIFY2(std::abs(bearingDegrees(from, to) - degrees) < 0.1,
                 qPrintable(QString::number(bearingDegrees(from, to))));
    }

    void distances()
    {
        QCOMPARE(std::round(distanceKm({0, 0}, {0, 180}) * 10) / 10, 20015.1); // half the 6,371 km circle
        QCOMPARE(distanceKm({45, 5}, {45, 5}), 0.0);
        QVERIFY(!isOnGlobe({90.5, 0}));
        QVERIFY(!isOnGlobe({0, qQNaN()}));
        QVERIFY(isOnGlobe({-90, 180}));
    }

    void parisToMarseilleFromTheShippedTable()
    {
        const std::unique_ptr<Database> db = openCommuneDatabase(shippedStorePath());
        const Recordset records = db->openRecordset(QStringLiteral("insee1"));
        const auto paris = communePosition(records, rowNamed(records, "PARIS"));
        const auto marseille = communePosition(records, rowNamed(records, "MARSEILLE"));
        QVERIFY(paris && marseille);
        QCOMPARE(QString::number(distanceKm(*paris, *marseille), 'f', 1), QStringLiteral("662.6"));
        QCOMPARE(communesWithoutPosition(records), size_t(0));
    }

    // Random places over France and over the whole globe: the index finds
    // what reading every row finds.
    void indexAgainstPlainScan()
    {
        const std::unique_ptr<Database> db = openCommuneDatabase(shippedStorePath());
        const Recordset records = db->openRecordset(QStringLiteral("insee1"));
        QRandomGenerator random(22);
        for (int i = 0; i < 200; ++i) {
            const GeoPoint point = i % 4 == 0 ? GeoPoint{random.bounded(180.0) - 90, random.bounded(360.0) - 180}
                                              : GeoPoint{41 + random.bounded(10.0), -5 + random.bounded(15.0)};
            const double radius = random.bounded(30.0);
            double best = qInf();
            std::vector<int> inside;
            for (int row = 0; row < records.recordCount(); ++row) {
                const double d = distanceKm(point, *communePosition(records, row));
                best = std::min(best, d);
                if (d <= radius)
                    inside.push_back(row);
            }
            const std::optional<NearbyCommune> nearest = nearestCommune(records, point);
            QVERIFY(nearest);
            QCOMPARE(nearest->distanceKm, best);
            const std::vector<NearbyCommune> within = communesWithin(records, point, radius);
            QVERIFY(std::is_sorted(within.begin(), within.end(),
                                   [](auto &a, auto &b) { return a.distanceKm < b.distanceKm; }));
            std::vector<int> found;
            for (const NearbyCommune &c : within)
                found.push_back(c.row);
            std::sort(found.begin(), found.end());
            QCOMPARE(found, inside);
            const std::vector<NearbyCommune> ten = nearestCommunes(records, point, 10);
            QCOMPARE(ten.size(), size_t(10));
            QCOMPARE(ten.front(), *nearest);
        }
    }

    void rowsWithoutPositionAreLeftOutAndCounted()
    {
        const Recordset records = tableOf({{2.0, 48.0},
                                           {QVariant(), 48.0},
                                           {QStringLiteral("est"), 48.0},
                                           {2.0, 95.0},
                                           {qQNaN(), 48.0},
                                           {QStringLiteral("3.5"), QStringLiteral("47")}});
        QCOMPARE(communesWithoutPosition(records), size_t(4));
        const std::vector<NearbyCommune> all = communesWithin(records, {48, 2}, 20000);
        QCOMPARE(all.size(), size_t(2));
        QCOMPARE(all[0].row, 0);
        QCOMPARE(all[1].row, 5);
        // Equal distances come in table order.
        const Recordset twins = tableOf({{1.0, 45.0}, {3.0, 45.0}, {3.0, 45.0}, {1.0, 45.0}});
        QCOMPARE(nearestCommune(twins, {45, 2})->row, 0);
        QCOMPARE(nearestCommune(twins, {45, 3})->row, 1);
        QVERIFY(!nearestCommune(twins, {91, 0}));
        QVERIFY(!nearestCommune(tableOf({{QVariant(), QVariant()}}), {45, 2}));
    }

    void indexHeldToTheTableLimit()
    {
        std::vector<std::pair<QVariant, QVariant>> rows(2000, {2.0, 48.0});
        // Room for the table's own columns, not for 33 bytes more a row.
        const Recordset records = tableOf(rows, 2000 * 40);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, nearestCommune(records, {48, 2}));
        QVERIFY(nearestCommune(tableOf(rows), {48, 2}));
    }
};

QTEST_GUILESS_MAIN(TestNearestCommunes)
#include "test_nearest_communes.moc"
