// The starting point: Ctrl+D and the locator's menu take it or clear it, it
// is kept across runs, and every shown commune tells its distance and
// bearing from it on a line of its own.
#include "Form1Driver.h"
#include "TestPaths.h"

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
        QCOMPARE(keptStartingPoint->name, QStringLiteral("PARIS"));
        QCOMPARE(lineShown(window.form), QStringLiteral("Point de départ : PARIS"));
        // 662.6 km by the shipped coordinates; the great circle leaves Paris
        // at 157.9°, south-south-east.
        window.search("MARSEILLE");
        QCOMPARE(lineShown(window.form), QStringLiteral("Depuis PARIS : 662.6 km, azimut 158°"));
        // Ctrl+D on another commune moves the starting point there.
        pressCtrlD(window.form);
        QCOMPARE(keptStartingPoint->name, QStringLiteral("MARSEILLE"));
        window.search("PARIS");
        QCOMPARE(lineShown(window.form), QStringLiteral("Depuis MARSEILLE : 662.6 km, azimut 340°"));
        // On the starting point itself, Ctrl+D clears it.
        window.search("MARSEILLE");
        pressCtrlD(window.form);
        QVERIFY(!keptStartingPoint);
        QCOMPARE(lineShown(window.form), QString());
    }

    void theLineFollowsRecordStepsAndIsReadAloud()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        keptStartingPoint = StartingPoint{QStringLiteral("PARIS"), {48.85661, 2.3428}};
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
        QCOMPARE(keptStartingPoint->name, QStringLiteral("LYON"));
        QCOMPARE(lineShown(window.form), QStringLiteral("Point de départ : LYON"));
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
        QCOMPARE(window.form.Label1->text(), QStringLiteral("PARIS"));
        QCOMPARE(window.form.Label7->text(), QStringLiteral("1 sur 300 · F3 suivante"));
        QTest::keyClick(window.form.Text7, Qt::Key_F3);
        QVERIFY(window.form.Label1->text() != QStringLiteral("PARIS"));
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
        const StartingPoint brest{QStringLiteral("BREST"), {48.39, -4.49}};
        saveStartingPoint(brest);
        QCOMPARE(loadStartingPoint(), std::optional<StartingPoint>(brest));
        QSettings(QStringLiteral("Topovil"), QStringLiteral("topovil")).setValue("depart/latitude", "nord");
        QVERIFY(!loadStartingPoint());
        saveStartingPoint(std::nullopt);
        QVERIFY(!loadStartingPoint());
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
        const StartingPoint brest{QStringLiteral("BREST"), {48.39, -4.49}};
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
