// Mouse events go through the window system layer, so that a click reaches
// the map through the window, at the window's own coordinates.
#define QTEST_QPA_MOUSE_HANDLING

#include "Form1Driver.h"
#include "TestPaths.h"
#include "app/Form1.h"
#include "map/DepartementTable.h"
#include "map/MapPicture.h"
#include "map/MapProjection.h"
#include "search/NearestCommunes.h"
#include "store/NumberText.h"
#include "widgets/MapWidget.h"

#include <QtTest>

using namespace form1test;

namespace {

// Where the shown record's own position falls on the map.
std::optional<QPoint> expectedMark(const Form1 &form)
{
    const QString number = QString::number(leadingNumber(QStringView(form.rstInfo.fieldText(u"codepos")).left(2)));
    return communeMapPoint(
        form.Picture1->picture().stored(), number,
        QPointF(form.rstInfo.field(u"longitude").toDouble(), form.rstInfo.field(u"latitude").toDouble()));
}

QColor shownAt(MapWidget *map, QPoint p)
{
    return map->grab().toImage().pixelColor(p * map->devicePixelRatio());
}

} // namespace

// The shown commune's own point on the map, and Ctrl+click for the commune
// nearest to a point of the map.
class TestForm1Marks : public QObject
{
    Q_OBJECT
private slots:
    void markFollowsTheShownCommune();
    void ctrlClickFindsTheNearestCommunes();
    void ctrlClickOnEverySeedShowsItsDepartement();
    void startingPointHasAMarkOfItsOwn();
};

void TestForm1Marks::markFollowsTheShownCommune()
{
    Window w(shippedStorePath(), Window::Clock::Stopped);
    MapWidget *map = w.form.Picture1;
    QVERIFY(!map->mark());

    w.search(QStringLiteral("BREST"));
    const std::optional<QPoint> brest = map->mark();
    QVERIFY(brest);
    QCOMPARE(brest, expectedMark(w.form));
    QCOMPARE(map->markName(), QStringLiteral("BREST"));
    // Drawn over the picture, never into it.
    QCOMPARE(shownAt(map, *brest), QColor(255, 0, 255));
    QVERIFY(map->picture().image().pixelColor(*brest) != QColor(255, 0, 255));

    w.search(QStringLiteral("QUIMPER"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("29"));
    QVERIFY(map->mark() && *map->mark() != *brest);
    QCOMPARE(map->mark(), expectedMark(w.form));

    w.next();
    QCOMPARE(map->mark(), expectedMark(w.form));
    QCOMPARE(map->markName(), w.form.Label1->text());

    // A département shows no commune.
    QTest::mouseClick(w.form.Command2, Qt::LeftButton);
    QVERIFY(!map->mark());
    QVERIFY(shownAt(map, *brest) != QColor(255, 0, 255));
    w.search(QStringLiteral("BREST"));
    QVERIFY(map->mark());
    w.clickMap(QPoint(190, 142));
    QVERIFY(!map->mark());

    // Overseas communes keep the sea's fill and no mark.
    w.search(QStringLiteral("LES ABYMES"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("97"));
    QVERIFY(!map->mark());
}

void TestForm1Marks::ctrlClickFindsTheNearestCommunes()
{
    Window w(shippedStorePath(), Window::Clock::Stopped);
    w.search(QStringLiteral("PARIS"));
    const QPoint atBrest = *communeMapPoint(MapPicture::storedPicture(), u"29", QPointF(-4.50297, 48.40008));
    w.clickMap(atBrest, Qt::LeftButton, Qt::ControlModifier);
    const std::vector<int> nearest =
        nearestCommunes(w.form.rstInfo, mapToPosition(MapInset::Mainland, atBrest), NearestListed);
    QCOMPARE(w.form.rstInfo.position(), nearest[0]);
    QCOMPARE(w.form.matches.rows(), nearest);
    QCOMPARE(w.form.Label5->text(), QStringLiteral("29"));
    QCOMPARE(w.form.Picture1->mark(), expectedMark(w.form));
    QCOMPARE(mapColor(w.form, LookupDepartement(u"29")->seed()), fillColor(w.form));
    QCOMPARE(locatorShown(w.form), locatorOfShownPosition(w.form));
    QVERIFY(w.form.Label7->text().startsWith(QStringLiteral("1 sur %1").arg(NearestListed)));
    // F3 goes on to the next nearest.
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    QCOMPARE(w.form.rstInfo.position(), nearest[1]);
    QCOMPARE(w.form.Picture1->mark(), expectedMark(w.form));
}

void TestForm1Marks::ctrlClickOnEverySeedShowsItsDepartement()
{
    Window w(shippedStorePath(), Window::Clock::Stopped);
    const auto &table = DepartementTable();
    QStringList wrong;
    for (auto row = table.begin(); row != table.end() - 1; ++row) {
        w.clickMap(row->seed(), Qt::LeftButton, Qt::ControlModifier);
        const QString number = QString::number(row->number);
        if (w.form.Label5->text() != number || w.form.Text9->text() != number || !w.form.Picture1->mark())
            wrong << QStringLiteral("%1 (%2): %3 %4")
                         .arg(row->name, number, w.form.Label1->text(), w.form.Label10->text());
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

void TestForm1Marks::startingPointHasAMarkOfItsOwn()
{
    Window w(shippedStorePath(), Window::Clock::Stopped);
    MapWidget *map = w.form.Picture1;
    const QPointF quimper(-4.09679, 47.9885);
    w.form.markStartingPoint(u"29", quimper);
    QCOMPARE(map->startMark(), communeMapPoint(MapPicture::storedPicture(), u"29", quimper));
    w.search(QStringLiteral("BREST"));
    w.clickMap(QPoint(190, 142));
    // A click takes the commune's mark away, not the starting point's.
    QCOMPARE(map->startMark(), communeMapPoint(MapPicture::storedPicture(), u"29", quimper));
    QCOMPARE(shownAt(map, *map->startMark() + QPoint(2, 0)), QColor(255, 0, 255)); // on the ring
    w.form.markStartingPoint(u"29", std::nullopt);
    QVERIFY(!map->startMark());
}

QTEST_MAIN(TestForm1Marks)
#include "test_form1_marks.moc"
