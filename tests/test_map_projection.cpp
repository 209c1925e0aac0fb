#include "map/DepartementTable.h"
#include "map/FillColorGenerator.h"
#include "map/MapPicture.h"
#include "map/MapProjection.h"
#include "map/MapProjectionTable.h"
#include "store/CommuneDatabase.h"
#include "store/NumberText.h"

#include "TestPaths.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <cmath>
#include <map>

Q_DECLARE_METATYPE(std::optional<MapInset>)

namespace {

const QImage &stored()
{
    static const QImage picture = MapPicture::storedPicture();
    return picture;
}

const QPointF brest(-4.50297, 48.40008);
const QPointF paris(2.3428, 48.85661);
const QPointF ajaccio(8.69957, 41.9381);

// A commune's pixel lies on its département when the fill at the seed
// reached it, or when it is a border pixel touching what the fill reached.
bool onFilledArea(const MapPicture &map, QPoint p, QRgb fill)
{
    if (map.pixel(p) == (fill & 0xffffff))
        return true;
    if (map.pixel(p) != 0)
        return false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (map.pixel(p + QPoint(dx, dy)) == (fill & 0xffffff))
                return true;
    return false;
}

} // namespace

class TestMapProjection : public QObject
{
    Q_OBJECT
private slots:
    void compiledTableIsTheToolsOwn();
    void inverseUndoesTheProjection_data();
    void inverseUndoesTheProjection();
    void insetOfDepartement_data();
    void insetOfDepartement();
    void insetOfAMapPoint();
    void noMarkWhereTheMapCannotShowOne();
    void brestAndQuimperLieApartInFinistere();
    void shippedCommunesFallOnTheirDepartement();
};

void TestMapProjection::compiledTableIsTheToolsOwn()
{
    QFile file(sourceDir() + "/tools/map_projection.json");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(json["lonScale"].toDouble(), mapProjectionTable::lonScale);
    const std::map<QString, mapProjectionTable::Affine> compiled{{"mainland", mapProjectionTable::mainland},
                                                                 {"paris", mapProjectionTable::paris},
                                                                 {"corsica", mapProjectionTable::corsica}};
    const QJsonObject transforms = json["transforms"].toObject();
    QCOMPARE(transforms.size(), qsizetype(compiled.size()));
    for (const auto &[name, t] : compiled) {
        const QJsonObject written = transforms[name].toObject();
        const double values[] = {t.a, t.b, t.c, t.d, t.e, t.f};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(written[QString(QChar('a' + i))].toDouble(), values[i]);
    }
    QStringList parisCodes;
    for (const int n : mapProjectionTable::parisDepartements)
        parisCodes << QString::number(n);
    QCOMPARE(transforms["paris"].toObject()["codes"].toVariant().toStringList(), parisCodes);
}

void TestMapProjection::inverseUndoesTheProjection_data()
{
    QTest::addColumn<MapInset>("inset");
    QTest::addColumn<QPointF>("lonLat");
    QTest::newRow("Brest") << MapInset::Mainland << brest;
    QTest::newRow("Paris") << MapInset::Paris << paris;
    QTest::newRow("Ajaccio") << MapInset::Corsica << ajaccio;
    QTest::newRow("west of Greenwich, south") << MapInset::Mainland << QPointF(-1.5, 43.2);
}

void TestMapProjection::inverseUndoesTheProjection()
{
    QFETCH(MapInset, inset);
    QFETCH(QPointF, lonLat);
    const QPointF back = mapToPosition(inset, projectToMap(inset, lonLat));
    QVERIFY2(std::abs(back.x() - lonLat.x()) < 1e-9 && std::abs(back.y() - lonLat.y()) < 1e-9,
             qPrintable(QStringLiteral("%1, %2").arg(back.x(), 0, 'g', 12).arg(back.y(), 0, 'g', 12)));
}

void TestMapProjection::insetOfDepartement_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<std::optional<MapInset>>("inset");
    const std::optional<MapInset> none;
    QTest::newRow("Finistère") << "29" << std::optional(MapInset::Mainland);
    QTest::newRow("Val-d'Oise, around Paris") << "95" << std::optional(MapInset::Mainland);
    QTest::newRow("Paris") << "75" << std::optional(MapInset::Paris);
    QTest::newRow("Val-de-Marne") << "94" << std::optional(MapInset::Paris);
    QTest::newRow("Corsica") << "20" << std::optional(MapInset::Corsica);
    QTest::newRow("overseas") << "97" << none;
    QTest::newRow("no row") << "0" << none;
    QTest::newRow("leading zero") << "01" << none;
}

void TestMapProjection::insetOfDepartement()
{
    QFETCH(QString, number);
    QFETCH(std::optional<MapInset>, inset);
    QCOMPARE(::insetOfDepartement(number), inset);
}

void TestMapProjection::insetOfAMapPoint()
{
    QCOMPARE(insetAt(QPointF(38, 38)), MapInset::Paris);
    QCOMPARE(insetAt(QPointF(11, 40)), MapInset::Paris); // on the frame's line
    QCOMPARE(insetAt(QPointF(221, 244)), MapInset::Corsica);
    QCOMPARE(insetAt(QPointF(190, 142)), MapInset::Mainland);
    QCOMPARE(insetAt(QPointF(5, 5)), MapInset::Mainland);
    QCOMPARE(insetAt(QPointF(72, 40)), MapInset::Mainland);
}

void TestMapProjection::noMarkWhereTheMapCannotShowOne()
{
    QVERIFY(communeMapPoint(stored(), u"97", QPointF(-61.5, 16.27)) == std::nullopt);
    QVERIFY(communeMapPoint(stored(), u"29", QPointF(qQNaN(), 48.4)) == std::nullopt);
    QVERIFY(communeMapPoint(stored(), u"29", QPointF(-4.5, qInf())) == std::nullopt);
    QVERIFY(communeMapPoint(stored(), u"29", QPointF(-40, 48.4)) == std::nullopt);
    // A mainland position that the mainland map would put in the Paris inset.
    QVERIFY(communeMapPoint(stored(), u"29", mapToPosition(MapInset::Mainland, QPointF(40, 40))) == std::nullopt);
    // Paris is marked in its inset, not on the small patch of the mainland.
    const std::optional<QPoint> inParis = communeMapPoint(stored(), u"75", paris);
    QVERIFY(inParis && (QPointF(*inParis) - projectToMap(MapInset::Paris, paris)).manhattanLength() < 2);
}

void TestMapProjection::brestAndQuimperLieApartInFinistere()
{
    const std::optional<QPoint> atBrest = communeMapPoint(stored(), u"29", brest);
    const std::optional<QPoint> atQuimper = communeMapPoint(stored(), u"29", QPointF(-4.09679, 47.9885));
    QVERIFY(atBrest && atQuimper);
    QVERIFY(*atBrest != *atQuimper);
    MapPicture map;
    FillColorGenerator colors;
    const QRgb fill = map.fillAtPoint(LookupDepartement(u"29")->seed(), colors);
    QVERIFY(onFilledArea(map, *atBrest, fill));
    QVERIFY(onFilledArea(map, *atQuimper, fill));
    // Brest lies north-west of Quimper.
    QVERIFY(atBrest->x() < atQuimper->x() && atBrest->y() < atQuimper->y());
}

void TestMapProjection::shippedCommunesFallOnTheirDepartement()
{
    const std::unique_ptr<Database> db = openCommuneDatabase(shippedStorePath());
    Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    // Each département's communes, by the number their postal code gives.
    std::map<QString, std::vector<int>> rowsOf;
    for (communes.moveFirst(); !communes.isEof(); communes.moveNext()) {
        const QString number = QString::number(leadingNumber(QStringView(communes.fieldText(u"codepos")).left(2)));
        if (::insetOfDepartement(number))
            rowsOf[number].push_back(communes.position());
    }
    MapPicture map;
    FillColorGenerator colors;
    int placed = 0;
    int roundedOnIt = 0; // the projected point merely rounded, for comparison
    QStringList misses;
    for (const auto &[number, rows] : rowsOf) {
        map.reset();
        const QRgb fill = map.fillAtPoint(LookupDepartement(number)->seed(), colors);
        for (const int row : rows) {
            communes.moveTo(row);
            const QPointF lonLat(communes.field(u"longitude").toDouble(), communes.field(u"latitude").toDouble());
            const std::optional<QPoint> p = communeMapPoint(map.stored(), number, lonLat);
            const QPoint rounded = MapPicture::toMapPoint(projectToMap(*::insetOfDepartement(number), lonLat));
            roundedOnIt += onFilledArea(map, rounded, fill) ? 1 : 0;
            if (p && onFilledArea(map, *p, fill)) {
                ++placed;
                continue;
            }
            misses << QStringLiteral("%1 %2 at %3")
                          .arg(communes.fieldText(u"commune"), communes.fieldText(u"codepos"),
                               p ? QStringLiteral("(%1,%2)").arg(p->x()).arg(p->y()) : QStringLiteral("nowhere"));
        }
    }
    const int total = placed + int(misses.size());
    qInfo("%d of %d metropolitan communes on their département's area (%.2f%%); %d miss:", placed, total,
          100.0 * placed / total, int(misses.size()));
    for (const QString &miss : misses)
        qInfo("  %s", qPrintable(miss));
    qInfo("(rounded to the nearest pixel instead: %d, %.2f%%)", roundedOnIt, 100.0 * roundedOnIt / total);
    QVERIFY(total > 34000);
    QVERIFY2(placed * 1000 >= total * 995, qPrintable(misses.mid(0, 20).join('\n')));
}

QTEST_GUILESS_MAIN(TestMapProjection)
#include "test_map_projection.moc"
