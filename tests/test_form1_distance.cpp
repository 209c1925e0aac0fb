// The starting point: Ctrl+D and the locator's menu take it or clear it, it
// is kept across runs, and every shown commune tells its distance and
// bearing from it on a line of its own.
#include "Form1Driver.h"
#include "TestPaths.h"
#include "map/MapProjection.h"
#include "search/LocatorSearch.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace form1test;

namespace {

void pressCtrlD(Form1 &form)
{
    QTest::keyClick(form.Text7, Qt::Key_D, Qt::ControlModifier);
}

QString lineShown(const Form1 &form)
{
    return form.distanceLabel->isVisible() ? form.distanceLabel->text() : QString();
}

} // namespace

class TestForm1Distance : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The settings of this test program, wherever it is run from.
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }
    void init() { keptStartingPoint.reset(); }

    void ctrlDTakesAndClearsTheStartingPoint()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        QCOMPARE(lineShown(window.form), QString());
        window.search("PARIS");
        pressCtrlD(window.form);
        QVERIFY(keptStartingPoint);
        QCOMPARE(keptStartingPoint->name, QStringLiteral("Paris"));
        QCOMPARE(lineShown(window.form), QStringLiteral("Point de départ : Paris"));
        // 662.6 km by the shipped coordinates; the great circle leaves Paris
        // at 157.9°, south-south-east.
        window.search("MARSEILLE");
        QCOMPARE(lineShown(window.form), QStringLiteral("Depuis Paris : 662,6 km, azimut 158°"));
        // Ctrl+D on another commune moves the starting point there.
        pressCtrlD(window.form);
        QCOMPARE(keptStartingPoint->name, QStringLiteral("Marseille"));
        window.search("PARIS");
        QCOMPARE(lineShown(window.form), QStringLiteral("Depuis Marseille : 662,6 km, azimut 340°"));
        // On the starting point itself, Ctrl+D clears it.
        window.search("MARSEILLE");
        pressCtrlD(window.form);
        QVERIFY(!keptStartingPoint);
        QCOMPARE(lineShown(window.form), QString());
    }

    void theLineFollowsRecordStepsAndIsReadAloud()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        keptStartingPoint = StartingPoint{QStringLiteral("PARIS"), {48.85661, 2.3428}, QStringLiteral("75")};
        Window window(shippedStorePath(), Window::Clock::Stopped);
        // Kept from an earlier run: the first record already tells it.
        QVERIFY(lineShown(window.form).startsWith(QStringLiteral("Depuis PARIS : ")));
        window.search("LYON");
        const QString lyon = lineShown(window.form);
        window.next();
        QVERIFY(lineShown(window.form) != lyon);
        QVERIFY(lineShown(window.form).startsWith(QStringLiteral("Depuis PARIS : ")));
        QAccessibleInterface *read = QAccessible::queryAccessibleInterface(window.form.distanceLabel);
        QVERIFY(read);
        QCOMPARE(read->text(QAccessible::Name), lineShown(window.form));
        // It covers none of the window's other controls.
        for (QWidget *control : window.form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (control != window.form.distanceLabel && control->isVisible())
                QVERIFY2(!control->geometry().intersects(window.form.distanceLabel->geometry()),
                         qPrintable(control->objectName()));
        }
    }

    void theLocatorsMenuTakesAndClears()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        window.search("LYON");
        window.rightClick(window.form.Label16);
        QTRY_VERIFY(window.form.locatorMenu && window.form.locatorMenu->isVisible());
        const QList<QAction *> actions = window.form.locatorMenu->actions();
        QCOMPARE(actions[0]->text(), QStringLiteral("Prendre comme point de départ"));
        QVERIFY(!actions[1]->isEnabled()); // nothing to clear yet
        actions[0]->trigger();
        QCOMPARE(keptStartingPoint->name, QStringLiteral("Lyon"));
        QCOMPARE(lineShown(window.form), QStringLiteral("Point de départ : Lyon"));
        window.form.locatorMenu->hide();
        window.rightClick(window.form.Label13);
        QTRY_VERIFY(window.form.locatorMenu->isVisible());
        QVERIFY(actions[1]->isEnabled());
        actions[1]->trigger();
        QVERIFY(!keptStartingPoint);
        QCOMPARE(lineShown(window.form), QString());
    }

    // Coordinates typed in the box show the nearest commune, F3 the next
    // nearest; a position off the globe is refused under the box and
    // changes nothing shown.
    void typedCoordinates()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        window.pasteAndSearch(QStringLiteral("48°51'24\"N 2°21'08\"E"));
        QCOMPARE(window.form.Label1->text(), QStringLiteral("Paris"));
        QCOMPARE(window.form.Label7->text(), QStringLiteral("1 sur 300 · F3 suivante"));
        QTest::keyClick(window.form.Text7, Qt::Key_F3);
        QVERIFY(window.form.Label1->text() != QStringLiteral("Paris"));
        const Shown before(window.form);
        window.search("95.5 2");
        QCOMPARE(window.form.Label7->text(), QStringLiteral("Latitude hors limites : 95,5° (de -90° à 90°)."));
        QCOMPARE(window.form.Label7->palette().color(QPalette::WindowText), QColor(192, 0, 0));
        QCOMPARE(differences(before, Shown(window.form)), QString());
    }

    // The user's settings keep it between runs; a hand-edited one that is
    // no position is not taken.
    void keptInTheSettings()
    {
        const StartingPoint brest{QStringLiteral("BREST"), {48.39, -4.49}, QStringLiteral("29")};
        saveStartingPoint(brest);
        QCOMPARE(loadStartingPoint(), std::optional<StartingPoint>(brest));
        QSettings(QStringLiteral("Topovil"), QStringLiteral("topovil")).setValue("depart/latitude", "nord");
        QVERIFY(!loadStartingPoint());
        saveStartingPoint(std::nullopt);
        QVERIFY(!loadStartingPoint());
    }

    // The ring is drawn from the kept setting at start-up, in the inset of
    // its département, and follows Ctrl+D.
    void theRingFollowsTheStartingPoint()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        keptStartingPoint = StartingPoint{QStringLiteral("PARIS"), {48.85661, 2.3428}, QStringLiteral("75")};
        Window window(shippedStorePath(), Window::Clock::Stopped);
        MapWidget *map = window.form.Picture1;
        const std::optional<QPoint> paris = map->startMark();
        QVERIFY(paris && insetAt(*paris) == MapInset::Paris);
        window.search("LYON");
        QCOMPARE(map->startMark(), paris);
        pressCtrlD(window.form);
        QVERIFY(map->mark() && insetAt(*map->mark()) == MapInset::Mainland);
        QCOMPARE(map->startMark(), map->mark());
        QCOMPARE(keptStartingPoint->mapNumber, QStringLiteral("69"));
        pressCtrlD(window.form);
        QVERIFY(!map->startMark());
    }

    // The starting point keeps the number of the shown commune's
    // département, where its ring is drawn: at start-up too, where the
    // hidden box holds the code's two first characters (01), and after a
    // search that found the first record, which keeps the département shown.
    void theStartingPointKeepsItsDepartement()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        QCOMPARE(window.form.Text9->text(), QStringLiteral("01"));
        pressCtrlD(window.form);
        QVERIFY(keptStartingPoint);
        QCOMPARE(keptStartingPoint->mapNumber, QStringLiteral("1"));
        window.search("BREST");
        window.search("L ABERGEMENT CLEMENCIAT");
        QCOMPARE(window.form.Label5->text(), QStringLiteral("29"));
        pressCtrlD(window.form); // the same place: cleared
        QVERIFY(!keptStartingPoint);
        pressCtrlD(window.form);
        QVERIFY(keptStartingPoint);
        QCOMPARE(keptStartingPoint->name, window.form.Label1->text());
        QCOMPARE(keptStartingPoint->mapNumber, QStringLiteral("1"));
    }

    // After a locator or coordinates, Ctrl+D takes the place typed, named
    // as typed; after a name, the commune.
    void ctrlDTakesTheTypedPlace_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        const QPointF square = *locatorCentre(u"IN78RJ45");
        QTest::newRow("locator") << "IN78RJ45" << square.y() << square.x();
        QTest::newRow("coordinates") << "48.3 -4.55" << 48.3 << -4.55;
    }
    void ctrlDTakesTheTypedPlace()
    {
        QFETCH(QString, typed);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        window.search(typed);
        pressCtrlD(window.form);
        QVERIFY(keptStartingPoint);
        QCOMPARE(keptStartingPoint->name, typed);
        QCOMPARE(keptStartingPoint->position, (GeoPoint{latitude, longitude}));
        QVERIFY(lineShown(window.form).startsWith(QStringLiteral("Depuis %1 : ").arg(typed)));
        QVERIFY(window.form.Picture1->startMark());
        window.search("BREST");
        pressCtrlD(window.form);
        QCOMPARE(keptStartingPoint->name, window.form.Label1->text());
    }

    // French in every locale; a bearing rounds to 0 to 359.
    void distanceLineText_data()
    {
        QTest::addColumn<double>("toLatitude");
        QTest::addColumn<double>("toLongitude");
        QTest::addColumn<QString>("expected");
        // From 45° N 0°, one degree north and a little west or east.
        QTest::newRow("359.8 is north") << 46.0 << -0.005 << "Depuis A : 111,2 km, azimut 0°";
        QTest::newRow("359.52 is north") << 46.0 << -0.012 << "Depuis A : 111,2 km, azimut 0°";
        QTest::newRow("359.48 is 359") << 46.0 << -0.013 << "Depuis A : 111,2 km, azimut 359°";
        QTest::newRow("0.2 is north") << 46.0 << 0.005 << "Depuis A : 111,2 km, azimut 0°";
        QTest::newRow("thousands") << -45.0 << 90.0 << QStringLiteral("Depuis A : 13\u202f343,4 km, azimut 125°");
        QTest::newRow("itself") << 45.0 << 0.0 << "Point de départ : A";
    }
    void distanceLineText()
    {
        QFETCH(double, toLatitude);
        QFETCH(double, toLongitude);
        QFETCH(QString, expected);
        QLocale::setDefault(english);
        const QString shown = ::distanceLineText({QStringLiteral("A"), {45, 0}, {}}, {toLatitude, toLongitude});
        QLocale::setDefault(QLocale::c());
        QCOMPARE(shown, expected);
    }

    // Settings that cannot be written are said; absurd ones are not taken,
    // and a file too large to be settings is not even read.
    void settingsAbused_data()
    {
        QTest::addColumn<QString>("abuse");
        QTest::addColumn<bool>("saved");
        QTest::newRow("settings file is a folder") << "folder" << false;
        QTest::newRow("name of 300 letters") << "long name" << true;
        QTest::newRow("blank name") << "blank name" << true;
        QTest::newRow("settings file of 9 MB") << "huge file" << true;
    }
    void settingsAbused()
    {
        QFETCH(QString, abuse);
        QFETCH(bool, saved);
        const QString path = m_config.filePath("Topovil/topovil.conf");
        QCOMPARE(QSettings(QStringLiteral("Topovil"), QStringLiteral("topovil")).fileName(), path);
        QFile::remove(path);
        QDir(path).removeRecursively();
        const StartingPoint brest{QStringLiteral("BREST"), {48.39, -4.49}, {}};
        QSettings settings(QStringLiteral("Topovil"), QStringLiteral("topovil"));
        if (abuse == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (abuse == "long name" || abuse == "blank name") {
            QCOMPARE(saveStartingPoint(brest), QString());
            settings.setValue("depart/nom", abuse == "long name" ? QString(300, u'A') : QStringLiteral("  "));
            settings.sync();
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[depart]\nlatitude=48.39\nlongitude=-4.49\nnom=" + QByteArray(9 << 20, 'A') + "\n");
        }
        QVERIFY(!loadStartingPoint());
        const QString why = saveStartingPoint(brest);
        QCOMPARE(why.isEmpty(), saved);
        if (saved) // replaced by a sound one
            QCOMPARE(loadStartingPoint(), std::optional<StartingPoint>(brest));
        else
            QVERIFY2(why.contains("ne peut pas être écrit"), qPrintable(why));
        QDir(path).removeRecursively();
    }

    // Ctrl+D whose setting cannot be kept tells the user so.
    void ctrlDSaysWhenTheSettingIsNotKept()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        window.form.platform.saveStartingPoint = [](const std::optional<StartingPoint> &) {
            return QStringLiteral("non gardé");
        };
        window.search("PARIS");
        pressCtrlD(window.form);
        QCOMPARE(window.messages, QStringList{"non gardé"});
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TestForm1Distance)
#include "test_form1_distance.moc"
