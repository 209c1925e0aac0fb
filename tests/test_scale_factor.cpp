// Mouse events go through the window system layer, as on a real screen: at
// scale 2 the press is turned into device pixels and back.
#define QTEST_QPA_MOUSE_HANDLING

#include "Form1Driver.h"
#include "TestPaths.h"
#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "departements/DepartementTable.h"
#include "widgets/MapWidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

// The window on a high-density screen (QT_SCALE_FACTOR=2, set by this
// test's main before the application starts): drawn at twice the size, and
// a map click still names the département under the pointer.

using namespace form1test;

class TestScaleFactor : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(french); }
    void windowIsDrawnAtTwiceTheSize();
    void mapIsDrawnPixelForPixelDoubled();
    void mapClickNamesTheDepartementUnderThePointer_data();
    void mapClickNamesTheDepartementUnderThePointer();
    void clickBetweenMapPixelsNamesThePixelUnderIt();
};

void TestScaleFactor::windowIsDrawnAtTwiceTheSize()
{
    Window w(shippedStorePath());
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QCOMPARE(w.form.devicePixelRatio(), 2.0);
    // The layout keeps its logical size; the screen shows twice as many pixels.
    QCOMPARE(w.form.size(), QSize(545, 417));
    const QImage shown = w.form.grab().toImage();
    QCOMPARE(shown.size(), QSize(1090, 834));
    // The rounded outline is the same region, in logical pixels.
    QCOMPARE(w.form.mask(), form1Region());
}

void TestScaleFactor::mapIsDrawnPixelForPixelDoubled()
{
    Window w(shippedStorePath());
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.search(QStringLiteral("PARIS"));
    const QImage picture = w.form.Picture1->picture().image();
    const QImage shown = w.form.Picture1->grab().toImage();
    QCOMPARE(shown.size(), QSize(530, 594));
    // A pixel of Paris's fill away from the commune's cross drawn over it.
    QVERIFY(w.form.Picture1->mark());
    QPoint filled(-1, -1);
    for (int y = 30; y < 50 && filled.x() < 0; ++y)
        for (int x = 30; x < 50 && filled.x() < 0; ++x)
            if (picture.pixel(x, y) == w.form.Picture1->picture().fillColor()
                && (QPoint(x, y) - *w.form.Picture1->mark()).manhattanLength() > 10)
                filled = QPoint(x, y);
    QVERIFY(filled.x() >= 0);
    // Each map pixel covers two by two screen pixels of its own colour: the
    // fill, the borders and the sea, away from the focus mark at the edge.
    for (const QPoint p : {filled, QPoint(190, 142), QPoint(100, 100), QPoint(5, 150), QPoint(221, 244)}) {
        for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
            const QPoint device = p * 2 + d;
            QVERIFY2(shown.pixel(device) == picture.pixel(p),
                     qPrintable(QStringLiteral("(%1,%2)").arg(device.x()).arg(device.y())));
        }
    }
}

void TestScaleFactor::mapClickNamesTheDepartementUnderThePointer_data()
{
    QTest::addColumn<int>("number");
    for (int number : {1, 29, 33, 75, 92, 95})
        // clang-format off
        QTest::addRow("%d", number) << number;
    QTest::addRow("Corse") << 20;
    // clang-format on
}

void TestScaleFactor::mapClickNamesTheDepartementUnderThePointer()
{
    QFETCH(int, number);
    Window w(shippedStorePath());
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    const DepartementRow row = *LookupDepartement(QString::number(number));
    QTest::mouseClick(w.form.Picture1, Qt::LeftButton, {}, row.seed());
    QCOMPARE(w.form.Label5->text(), QString::number(number));
    QCOMPARE(w.form.Label20->text(), row.displayName());
    QCOMPARE(mapColor(w.form, row.seed()), fillColor(w.form));
}

void TestScaleFactor::clickBetweenMapPixelsNamesThePixelUnderIt()
{
    Window w(shippedStorePath());
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    // A pointer on the lower right half of a map pixel, as a screen of twice
    // the density reports it: the pixel whose square holds it is filled.
    const DepartementRow ain = *LookupDepartement(u"1");
    const QPointF between = QPointF(ain.seed()) + QPointF(0.5, 0.5);
    QMouseEvent press(QEvent::MouseButtonPress, between, w.form.Picture1->mapToGlobal(between), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.form.Picture1, &press);
    QCOMPARE(w.form.Label20->text(), ain.displayName());
    QCOMPARE(w.form.Text6->text(), QString::number(ain.x));
    QCOMPARE(w.form.Text8->text(), QString::number(ain.y));
}

int main(int argc, char *argv[])
{
    // Before the application exists: the scale is read once, at its start.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestScaleFactor test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_scale_factor.moc"
