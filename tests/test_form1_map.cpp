// Mouse events go through the window system layer, so that a click reaches
// the map through the window, at the window's own coordinates.
#define QTEST_QPA_MOUSE_HANDLING

#include "Form1Driver.h"
#include "OnlineMapTemplate.h"
#include "ReferenceFill.h"
#include "SyntheticMaps.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "app/Form1.h"
#include "departements/DepartementTable.h"
#include "map/FillColorGenerator.h"
#include "map/MapPicture.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MapWidget.h"
#include "widgets/ShapeWidget.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

using namespace form1test;
using testmap::seedOf;

namespace {

constexpr QRgb white = 0xffffff;

// The n-th fill colour of a run (1 for the first), without alpha.
QRgb nthColor(int n)
{
    return testmap::nthColor(n) & 0xffffff;
}

QString nameOf(int number)
{
    return DepartementTable()[size_t(number - 1)].displayName();
}

// Empty when the map is the stored picture with exactly the area around p
// filled with the colour; otherwise the first difference found.
QString onlyAreaFilled(const MapPicture &map, QPoint p, QRgb colour)
{
    const QImage filled = referenceFill(map.stored(), p, colour);
    for (int y = 0; y < filled.height(); ++y)
        for (int x = 0; x < filled.width(); ++x) {
            const QPoint at(x, y);
            const QRgb expected = filled.pixel(at) & 0xffffff;
            if (map.pixel(at) != expected)
                return QStringLiteral("(%1,%2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(map.pixel(at), 6, 16, QLatin1Char('0'))
                    .arg(expected, 6, 16, QLatin1Char('0'));
        }
    return {};
}

// What the map and the browser must leave alone: the swatch and the commune
// display, with its hidden number and the online-map button.
Shown communeDisplay(const Form1 &form)
{
    return Shown(form).without({"Label5", "Label20", "map", "seed", "deptNumber"});
}

} // namespace

class TestForm1Map : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void mapClick_data();
    void mapClick();
    void pointerBetweenPixels();
    void fillShowsOnTheWindow();
    void secondClickClearsTheFirst();
    void clickNamingNothingDrawsThreeMore();

    void browserFromStart_data();
    void browserFromStart();
    void browserAfterSearch_data();
    void browserAfterSearch();
    void browserAfterSearchInTheShippedStore();
    void ownDepartementOfTheShippedStore_data();
    void ownDepartementOfTheShippedStore();

    void onlineMap_data();
    void onlineMap();

private:
    std::unique_ptr<Window> startWindow(const QString &store = {});
    void search(Window &w, const QString &name, const QString &shown = {});

    QTemporaryDir m_dir;
    QString m_store;
};

void TestForm1Map::initTestCase()
{
    m_store = m_dir.filePath(QStringLiteral("communes.sqlite"));
    QVERIFY(writeCommuneStore(m_store, {commune("L ABERGEMENT CLEMENCIAT", 4.92582, 46.15359, "01400", "AIN"),
                                        commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                                        commune("SAINT DENIS", 2.35763, 48.93563, "93200", "SEINE-SAINT-DENIS"),
                                        commune("LES ABYMES", -61.50177, 16.27276, "97139", "GUADELOUPE")}));
    // The whole map is needed: a blank stand-in has no départements.
    const QImage stored = MapPicture::storedPicture();
    QVERIFY2(stored.pixel(5, 5) != stored.pixel(190, 142), "the map picture is not the real one");
}

void TestForm1Map::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

// The real window on a small store, shown, with the clock stopped so that
// nothing but the test changes it.
std::unique_ptr<Window> TestForm1Map::startWindow(const QString &store)
{
    auto w = std::make_unique<Window>(store.isEmpty() ? m_store : store, Window::Clock::Stopped);
    w->form.platform.quit = [] { QFAIL("the window asked to quit"); };
    return w;
}

void TestForm1Map::search(Window &w, const QString &name, const QString &shown)
{
    w.searchWithButton(name);
    QVERIFY2(w.messages.isEmpty(), qPrintable(w.messages.join('\n')));
    QCOMPARE(w.form.Label1->text(), shown.isEmpty() ? name : shown);
}

// ---- map click ---------------------------------------------------------------

void TestForm1Map::mapClick_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");

    const auto left = Qt::LeftButton;
    const Qt::KeyboardModifiers none;
    // clang-format off
    QTest::newRow("Ain") << QPoint(190, 142) << left << none << "1" << "AIN";
    QTest::newRow("Ain, right button") << QPoint(190, 142) << Qt::RightButton << none << "1" << "AIN";
    QTest::newRow("Ain, middle button") << QPoint(190, 142) << Qt::MiddleButton << none << "1" << "AIN";
    QTest::newRow("Ain, shift") << QPoint(190, 142) << left << Qt::KeyboardModifiers(Qt::ShiftModifier) << "1" << "AIN";
    QTest::newRow("Ain, right button, alt")
        << QPoint(190, 142) << Qt::RightButton << Qt::KeyboardModifiers(Qt::AltModifier) << "1" << "AIN";
    QTest::newRow("Morbihan") << seedOf(56) << left << none << "56" << "MORBIHANT";
    QTest::newRow("Corsica") << QPoint(221, 244) << left << none << "20" << "CORSE";
    QTest::newRow("Paris inset, west") << QPoint(23, 40) << left << none << "92" << nameOf(92);
    QTest::newRow("Paris inset, middle") << QPoint(38, 38) << left << none << "75" << "PARIS";
    QTest::newRow("Paris patch on the mainland") << QPoint(144, 83) << left << none << "" << "";
    QTest::newRow("open sea") << QPoint(49, 216) << left << none << "" << "";
    QTest::newRow("open sea, right button") << QPoint(49, 216) << Qt::RightButton << none << "" << "";
    QTest::newRow("sea of the Paris inset") << QPoint(40, 20) << left << none << "" << "";
    QTest::newRow("scale bar") << QPoint(200, 286) << left << none << "" << "";
    QTest::newRow("Line1") << QPoint(70, 40) << Qt::MiddleButton << none << "" << "";
    // clang-format on
}

void TestForm1Map::mapClick()
{
    QFETCH(QPoint, point);
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, number);
    QFETCH(QString, name);

    const auto w = startWindow();
    Form1 *const form = &w->form;
    QTest::mouseClick(form->Command2, Qt::LeftButton); // a browser fill that the click must clear
    const Shown before = communeDisplay(*form);

    QTest::mouseClick(form->Picture1, button, modifiers, point);
    QCOMPARE(form->Label5->text(), number);
    QCOMPARE(form->Label20->text(), name);
    QCOMPARE(form->Text6->text(), QString::number(point.x()));
    QCOMPARE(form->Text8->text(), QString::number(point.y()));
    const MapPicture &map = form->Picture1->picture();
    QVERIFY(map.pixel(point) != white);
    QVERIFY(map.pixel(point) != (MapPicture::Sea & 0xffffff));
    const QString difference = onlyAreaFilled(map, point, nthColor(2));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    if (point == QPoint(49, 216))
        QCOMPARE(map.pixel(QPoint(5, 5)), map.pixel(point));
    QCOMPARE(communeDisplay(*form), before);
    QVERIFY(form->Text6->isHidden());
    QVERIFY(form->Text8->isHidden());
}

void TestForm1Map::pointerBetweenPixels()
{
    // On a scaled screen the pointer can sit between logical pixels: the
    // click belongs to the pixel under it, here the last white pixel of Ain
    // on its row, whose right-hand neighbour is a border.
    const QImage stored = MapPicture::storedPicture();
    int x = 190;
    while ((stored.pixel(x + 1, 142) & 0xffffff) == white)
        ++x;
    const auto w = startWindow();
    Form1 *const form = &w->form;
    const QPointF position(x + 0.75, 142.5);
    QMouseEvent press(QEvent::MouseButtonPress, position, form->Picture1->mapToGlobal(position), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->Picture1, &press);
    QCOMPARE(form->Label5->text(), QStringLiteral("1"));
    QCOMPARE(form->Text6->text(), QString::number(x));
    QCOMPARE(form->Text8->text(), QStringLiteral("142"));
    const QString difference = onlyAreaFilled(form->Picture1->picture(), QPoint(190, 142), nthColor(1));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestForm1Map::fillShowsOnTheWindow()
{
    // What the window shows on the screen, not only what the map holds.
    const auto w = startWindow();
    Form1 *const form = &w->form;
    w->clickMap(QPoint(190, 142));
    QCoreApplication::processEvents();
    const QPoint onWindow = form->Picture1->geometry().topLeft();
    const QImage shown = form->screen()->grabWindow(form->winId()).toImage();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.pixel(onWindow + QPoint(190, 142)) & 0xffffff, nthColor(1));
    QCOMPARE(shown.pixel(onWindow + QPoint(162, 66)) & 0xffffff, white);

    QTest::mouseClick(form->Command2, Qt::LeftButton); // 1 again: a fresh colour over a reset map
    QCoreApplication::processEvents();
    const QImage again = form->screen()->grabWindow(form->winId()).toImage();
    QCOMPARE(again.pixel(onWindow + QPoint(190, 142)) & 0xffffff, nthColor(2));
}

void TestForm1Map::secondClickClearsTheFirst()
{
    const auto w = startWindow();
    Form1 *const form = &w->form;
    w->clickMap(QPoint(190, 142));
    w->clickMap(QPoint(23, 40));
    QCOMPARE(form->Label5->text(), QStringLiteral("92"));
    QCOMPARE(form->Picture1->picture().pixel(QPoint(190, 142)), white);
    const QString difference = onlyAreaFilled(form->Picture1->picture(), QPoint(23, 40), nthColor(2));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestForm1Map::clickNamingNothingDrawsThreeMore()
{
    // A click in the sea, then one on Ain: the sea took one colour and the
    // failed identification another, so Ain gets the third.
    const auto afterSea = startWindow();
    afterSea->clickMap(QPoint(49, 216));
    QCOMPARE(afterSea->form.Picture1->picture().fillColor() & 0xffffff, nthColor(2));
    afterSea->clickMap(QPoint(190, 142));
    const QRgb ainAfterSea = afterSea->form.Picture1->picture().pixel(QPoint(190, 142));
    QCOMPARE(ainAfterSea, nthColor(3));

    // Without that click, Ain gets the first colour; after a click that named
    // a département, the second.
    const auto fresh = startWindow();
    fresh->clickMap(QPoint(190, 142));
    QVERIFY(fresh->form.Picture1->picture().pixel(QPoint(190, 142)) != ainAfterSea);
    const auto afterCorsica = startWindow();
    afterCorsica->clickMap(QPoint(221, 244));
    afterCorsica->clickMap(QPoint(190, 142));
    QCOMPARE(afterCorsica->form.Picture1->picture().pixel(QPoint(190, 142)), nthColor(2));

    // The browser draws from the same colours.
    QTest::mouseClick(afterSea->form.Command2, Qt::LeftButton);
    QCOMPARE(afterSea->form.Picture1->picture().pixel(QPoint(190, 142)), nthColor(4));
}

// ---- département browser ----------------------------------------------------

void TestForm1Map::browserFromStart_data()
{
    QTest::addColumn<QString>("presses"); // '>' for ">>", '<' for "<<"
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");

    // clang-format off
    QTest::newRow(">>") << ">" << "1" << "AIN";
    QTest::newRow("<<") << "<" << "97" << "D.O.M";
    QTest::newRow(">> <<") << "><" << "97" << "D.O.M";
    QTest::newRow("<< >>") << "<>" << "1" << "AIN";
    QTest::newRow(">> >>") << ">>" << "2" << nameOf(2);
    QTest::newRow("<< <<") << "<<" << "96" << "D.O.M";
    QTest::newRow("<< << <<") << "<<<" << "95" << nameOf(95);
    QTest::newRow("<< << << >>") << "<<<>" << "96" << "D.O.M";
    QTest::newRow(">> << << >> >>") << "><<>>" << "1" << "AIN";
    // clang-format on
}

void TestForm1Map::browserFromStart()
{
    QFETCH(QString, presses);
    QFETCH(QString, number);
    QFETCH(QString, name);

    const auto w = startWindow();
    Form1 *const form = &w->form;
    const Shown before = communeDisplay(*form);
    int fills = 0;
    for (const QChar press : presses) {
        QTest::mouseClick(press == u'>' ? form->Command2 : form->Command1, Qt::LeftButton);
        ++fills;
        // Every press shows the stored map with one area filled afresh.
        const auto row = LookupDepartement(form->Label5->text());
        QVERIFY2(row, qPrintable(form->Label5->text()));
        QCOMPARE(form->Label20->text(), row->displayName());
        const QString difference = onlyAreaFilled(form->Picture1->picture(), row->seed(), nthColor(fills));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }
    QCOMPARE(form->Label5->text(), number);
    QCOMPARE(form->Label20->text(), name);
    if (name == "D.O.M") {
        const MapPicture &map = form->Picture1->picture();
        QCOMPARE(map.pixel(QPoint(49, 216)), nthColor(fills));
        QCOMPARE(map.pixel(QPoint(5, 5)), nthColor(fills));
    }
    QCOMPARE(communeDisplay(*form), before);
}

void TestForm1Map::browserAfterSearch_data()
{
    QTest::addColumn<QString>("commune");
    QTest::addColumn<QString>("shownNumber");
    QTest::addColumn<QChar>("press");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");

    // clang-format off
    QTest::newRow("Paris, >>") << "PARIS" << "75" << QChar('>') << "76" << "SEINE-MARITIME";
    QTest::newRow("Paris, <<") << "PARIS" << "75" << QChar('<') << "74" << "HAUTE-SAVOIE";
    QTest::newRow("Saint Denis, >>") << "SAINT DENIS" << "93" << QChar('>') << "94" << nameOf(94);
    QTest::newRow("overseas, >>") << "LES ABYMES" << "97" << QChar('>') << "1" << "AIN";
    QTest::newRow("overseas, <<") << "LES ABYMES" << "97" << QChar('<') << "96" << "D.O.M";
    // clang-format on
}

void TestForm1Map::browserAfterSearch()
{
    QFETCH(QString, commune);
    QFETCH(QString, shownNumber);
    QFETCH(QChar, press);
    QFETCH(QString, number);
    QFETCH(QString, name);

    const auto w = startWindow();
    Form1 *const form = &w->form;
    search(*w, commune);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(form->Label5->text(), shownNumber);
    QCOMPARE(form->CmdCarte->isEnabled(), shownNumber.toInt() < 95);
    const Shown before = communeDisplay(*form);

    QTest::mouseClick(press == u'>' ? form->Command2 : form->Command1, Qt::LeftButton);
    QCOMPARE(form->Label5->text(), number);
    QCOMPARE(form->Label20->text(), name);
    const auto row = LookupDepartement(number);
    QVERIFY(row);
    // The search's fill is gone; the browser's is the run's second colour.
    const QString difference = onlyAreaFilled(form->Picture1->picture(), row->seed(), nthColor(2));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QCOMPARE(communeDisplay(*form), before);
}

void TestForm1Map::browserAfterSearchInTheShippedStore()
{
    const QString shipped = shippedStorePath();
    if (!QFileInfo::exists(shipped))
        QSKIP("the shipped commune store is absent");
    const auto w = startWindow(shipped);
    Form1 *const form = &w->form;
    QCOMPARE(form->Label1->text(), QStringLiteral("L'Abergement-Clémenciat"));
    search(*w, QStringLiteral("PARIS"), QStringLiteral("Paris"));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(form->Label5->text(), QStringLiteral("75"));
    const Shown before = communeDisplay(*form);
    QTest::mouseClick(form->Command2, Qt::LeftButton);
    QCOMPARE(form->Label5->text(), QStringLiteral("76"));
    QCOMPARE(form->Label20->text(), QStringLiteral("SEINE-MARITIME"));
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    QCOMPARE(form->Label5->text(), QStringLiteral("74"));
    QCOMPARE(form->Label20->text(), QStringLiteral("HAUTE-SAVOIE"));
    const QString difference = onlyAreaFilled(form->Picture1->picture(), seedOf(74), nthColor(4));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QCOMPARE(communeDisplay(*form), before);
}

// A commune whose post office is in a neighbouring département is lit and
// numbered in its own; every other keeps the number of its postal code.
void TestForm1Map::ownDepartementOfTheShippedStore_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("departement");
    // clang-format off
    QTest::newRow("Var, code of 13") << "Riboux" << "83" << "VAR";
    QTest::newRow("Haute-Savoie, code of 01") << "Éloise" << "74" << "HAUTE-SAVOIE";
    QTest::newRow("own code") << "Lajoux" << "39" << "JURA";
    QTest::newRow("Corsica keeps 20") << "Ajaccio" << "20" << "CORSE";
    // clang-format on
}

void TestForm1Map::ownDepartementOfTheShippedStore()
{
    QFETCH(QString, name);
    QFETCH(QString, number);
    QFETCH(QString, departement);
    if (!QFileInfo::exists(shippedStorePath()))
        QSKIP("the shipped commune store is absent");
    const auto w = startWindow(shippedStorePath());
    search(*w, name);
    QCOMPARE(w->form.Label5->text(), number);
    QCOMPARE(w->form.deptNumber, DeptNumber(number));
    const auto row = LookupDepartement(number);
    QVERIFY(row);
    QCOMPARE(w->form.state.seed, QPointF(row->seed()));
    if (departement != QLatin1String("CORSE"))
        QCOMPARE(w->form.Label8->text(), departement);
}

// ---- online map ----------------------------------------------------------------

void TestForm1Map::onlineMap_data()
{
    QTest::addColumn<QString>("commune"); // empty: the first record, as shown at start
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("encoded");

    // clang-format off
    QTest::newRow("first record, several words") << "" << "L ABERGEMENT CLEMENCIAT" << "L%20ABERGEMENT%20CLEMENCIAT";
    QTest::newRow("one word") << "PARIS" << "PARIS" << "PARIS";
    QTest::newRow("two words") << "SAINT DENIS" << "SAINT DENIS" << "SAINT%20DENIS";
    // clang-format on
}

void TestForm1Map::onlineMap()
{
    QFETCH(QString, commune);
    QFETCH(QString, caption);
    QFETCH(QString, encoded);

    const auto w = startWindow();
    Form1 *const form = &w->form;
    const QList<QUrl> &opened = w->opened;
    if (!commune.isEmpty())
        search(*w, commune);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(form->Label1->text(), caption);

    QTest::mouseClick(form->CmdCarte, Qt::LeftButton);
    QCOMPARE(form->Text1->text(), addressPrefix + caption + addressSuffix);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.at(0).toString(QUrl::FullyEncoded), addressPrefix + encoded + addressSuffix);

    QTest::mouseClick(form->CmdCarte, Qt::LeftButton);
    QCOMPARE(form->Text1->text(), addressPrefix + caption + addressSuffix);
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened.at(1), opened.at(0));
    QVERIFY(form->Text1->isHidden());
}

QTEST_MAIN(TestForm1Map)
#include "test_form1_map.moc"
