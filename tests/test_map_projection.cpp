#include "departements/DepartementTable.h"
#include "map/FillColorGenerator.h"
#include "map/MapPicture.h"
#include "map/MapProjection.h"
#include "store/CommuneDatabase.h"
#include "store/NumberText.h"

#include "TestPaths.h"

#include <QtTest>

#include <map>

namespace {

// On the area the fill at the département's seed reached, or on a border
// pixel touching it.
bool onFilledArea(const MapPicture &map, QPoint p, QRgb fill)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (map.pixel(p + QPoint(dx, dy)) == (fill & 0xffffff) && (map.pixel(p) == 0 || (dx == 0 && dy == 0)))
                return true;
    return false;
}

} // namespace

class TestMapProjection : public QObject
{
    Q_OBJECT
private slots:
    void noMarkWhereTheMapCannotShowOne();
    void shippedCommunesFallOnTheirDepartement();
    void insetFramesHoldTheirOwnLines_data();
    void insetFramesHoldTheirOwnLines();
};

// Each frame's four lines, as the picture draws them, belong to its inset;
// the pixel just outside each is the mainland's.
void TestMapProjection::insetFramesHoldTheirOwnLines_data()
{
    QTest::addColumn<int>("inset");
    QTest::addColumn<QPoint>("onLine");
    QTest::addColumn<QPoint>("outward");
    const int paris = int(MapInset::Paris);
    const int corsica = int(MapInset::Corsica);
    QTest::newRow("Paris left") << paris << QPoint(11, 40) << QPoint(-1, 0);
    QTest::newRow("Paris right") << paris << QPoint(71, 40) << QPoint(1, 0);
    QTest::newRow("Paris top") << paris << QPoint(40, 13) << QPoint(0, -1);
    QTest::newRow("Paris bottom") << paris << QPoint(40, 69) << QPoint(0, 1);
    QTest::newRow("Corsica left") << corsica << QPoint(204, 240) << QPoint(-1, 0);
    QTest::newRow("Corsica right") << corsica << QPoint(235, 240) << QPoint(1, 0);
    QTest::newRow("Corsica top") << corsica << QPoint(220, 221) << QPoint(0, -1);
    QTest::newRow("Corsica bottom") << corsica << QPoint(220, 267) << QPoint(0, 1);
}

void TestMapProjection::insetFramesHoldTheirOwnLines()
{
    QFETCH(int, inset);
    QFETCH(QPoint, onLine);
    QFETCH(QPoint, outward);
    const QImage stored = MapPicture::storedPicture();
    // The point is on the frame's line: dark there, not a step further out.
    QCOMPARE(qGray(stored.pixel(onLine)) < 128, true);
    QCOMPARE(qGray(stored.pixel(onLine + outward)) < 128, false);
    QCOMPARE(int(insetAt(onLine)), inset);
    QCOMPARE(int(insetAt(onLine - outward)), inset);
    QCOMPARE(insetAt(onLine + outward), MapInset::Mainland);
}

void TestMapProjection::noMarkWhereTheMapCannotShowOne()
{
    const QImage stored = MapPicture::storedPicture();
    QVERIFY(!communeMapPoint(stored, u"97", QPointF(-61.5, 16.27)));
    QVERIFY(!communeMapPoint(stored, u"01", QPointF(4.9, 46.1))); // no such row: the table has "1"
    QVERIFY(!communeMapPoint(stored, u"29", QPointF(qQNaN(), 48.4)));
    // A mainland position that the mainland map would put in the Paris inset.
    QVERIFY(!communeMapPoint(stored, u"29", mapToPosition(MapInset::Mainland, QPointF(40, 40))));
    // Paris and its inset, both ways.
    const QPointF paris(2.3428, 48.85661);
    const QPointF back = mapToPosition(MapInset::Paris, projectToMap(MapInset::Paris, paris));
    QVERIFY(std::abs(back.x() - paris.x()) < 1e-9 && std::abs(back.y() - paris.y()) < 1e-9);
    const std::optional<QPoint> inParis = communeMapPoint(stored, u"75", paris);
    QVERIFY(inParis && insetAt(*inParis) == MapInset::Paris);
}

void TestMapProjection::shippedCommunesFallOnTheirDepartement()
{
    const std::unique_ptr<Database> db = openCommuneDatabase(shippedStorePath());
    Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    std::map<QString, std::vector<int>> rowsOf; // by the département of the postal code
    for (communes.moveFirst(); !communes.isEof(); communes.moveNext()) {
        const QString number = QString::number(leadingNumber(QStringView(communes.fieldText(u"codepos")).left(2)));
        if (insetOfDepartement(number))
            rowsOf[number].push_back(communes.position());
    }
    MapPicture map;
    FillColorGenerator colors;
    QStringList misses;
    int total = 0;
    for (const auto &[number, rows] : rowsOf) {
        map.reset();
        const QRgb fill = map.fillAtPoint(LookupDepartement(number)->seed(), colors);
        for (const int row : rows) {
            communes.moveTo(row);
            const QPointF lonLat(communes.field(u"longitude").toDouble(), communes.field(u"latitude").toDouble());
            const std::optional<QPoint> p = communeMapPoint(map.stored(), number, lonLat);
            ++total;
            if (!p || !onFilledArea(map, *p, fill))
                misses << communes.fieldText(u"commune") + ' ' + communes.fieldText(u"codepos");
        }
    }
    qInfo("%lld of %d metropolitan communes on their département (%.2f%%); they miss: %s", total - misses.size(), total,
          100.0 * double(total - misses.size()) / total, qPrintable(misses.join(", ")));
    QVERIFY(total > 34000);
    QVERIFY(misses.size() * 200 <= total);
}

QTEST_GUILESS_MAIN(TestMapProjection)
#include "test_map_projection.moc"
