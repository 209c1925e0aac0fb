// Mouse events go through the window system layer, so that a click reaches
// the map through the window, at the window's own coordinates.
#define QTEST_QPA_MOUSE_HANDLING

#include "Form1Driver.h"
#include "TestPaths.h"
#include "departements/DepartementTable.h"
#include "geometry/NearestCommunes.h"
#include "map/MapProjection.h"
#include "store/NumberText.h"

#include <QtTest>

using namespace form1test;

namespace {

std::optional<QPoint> expectedMark(const Form1 &form)
{
    const QString number = QString::number(leadingNumber(QStringView(form.rstInfo.fieldText(u"codepos")).left(2)));
    return communeMapPoint(
        form.Picture1->picture().stored(), number,
        QPointF(form.rstInfo.field(u"longitude").toDouble(), form.rstInfo.field(u"latitude").toDouble()));
}

QColor onScreen(MapWidget *map, QPoint p)
{
    return map->grab().toImage().pixelColor(p * map->devicePixelRatio());
}

const QColor magenta(255, 0, 255);

} // namespace

class TestForm1Marks : public QObject
{
    Q_OBJECT
private slots:
    void markFollowsTheShownCommune();
};

void TestForm1Marks::markFollowsTheShownCommune()
{
    Window w(shippedStorePath(), Window::Clock::Stopped);
    MapWidget *map = w.form.Picture1;
    w.search(QStringLiteral("BREST"));
    const std::optional<QPoint> brest = map->mark();
    QVERIFY(brest && brest == expectedMark(w.form));
    QCOMPARE(map->markName(), QStringLiteral("Brest"));
    QCOMPARE(onScreen(map, *brest), magenta); // drawn over the picture, never into it
    QVERIFY(map->picture().image().pixelColor(*brest) != magenta);
    w.search(QStringLiteral("QUIMPER"));
    QVERIFY(map->mark() && map->mark() != brest && map->mark() == expectedMark(w.form));
    w.next();
    QVERIFY(map->mark() == expectedMark(w.form));
    // A département browse and a plain click show no commune; nor do overseas ones.
    QTest::mouseClick(w.form.Command2, Qt::LeftButton);
    QVERIFY(!map->mark() && onScreen(map, *brest) != magenta);
    w.search(QStringLiteral("BREST"));
    w.clickMap(QPoint(190, 142));
    QVERIFY(!map->mark());
    w.search(QStringLiteral("LES ABYMES"));
    QVERIFY(!map->mark());
    // The starting point's ring stays through all that.
    w.form.state.startingPoint = StartingPoint{QStringLiteral("QUIMPER"), {47.9885, -4.09679}, QStringLiteral("29")};
    w.form.render();
    w.clickMap(QPoint(190, 142));
    QVERIFY(map->startMark() && onScreen(map, *map->startMark() + QPoint(2, 0)) == magenta);

    // Ctrl+click: the communes nearest to the point, F3 to the next.
    w.clickMap(*brest, Qt::LeftButton, Qt::ControlModifier);
    const QPointF clicked = mapToPosition(MapInset::Mainland, *brest);
    std::vector<int> nearest;
    for (const NearbyCommune &nearby : nearestCommunes(w.form.rstInfo, {clicked.y(), clicked.x()}, NearestListed))
        nearest.push_back(nearby.row);
    QVERIFY(w.form.matches.rows() == nearest && w.form.rstInfo.position() == nearest[0]);
    QCOMPARE(mapColor(w.form, LookupDepartement(u"29")->seed()), fillColor(w.form));
    QVERIFY(w.form.Label7->text().startsWith(QStringLiteral("1 sur %1").arg(NearestListed)));
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    QVERIFY(w.form.rstInfo.position() == nearest[1] && map->mark() == expectedMark(w.form));

    // Each département's seed point: a commune of that département.
    QStringList wrong;
    for (auto row = DepartementTable().begin(); row != DepartementTable().end() - 1; ++row) {
        w.clickMap(row->seed(), Qt::LeftButton, Qt::ControlModifier);
        if (w.form.Label5->text() != QString::number(row->number) || !w.form.Picture1->mark())
            wrong << QStringLiteral("%1: %2 %3").arg(row->name, w.form.Label1->text(), w.form.Label10->text());
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

QTEST_MAIN(TestForm1Marks)
#include "test_form1_marks.moc"
