#include "FileFingerprint.h"
#include "Form1Driver.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "app/Form1.h"
#include "departements/DepartementTable.h"
#include "geo/MaidenheadLocator.h"
#include "store/NumberText.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MapWidget.h"
#include "widgets/ShapeWidget.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The record steps "<<" and ">>" of the real main window, from the start,
// after a search, past both ends and over empty fields; and the data file,
// which no search or step may change.

using namespace form1test;

namespace {

// The record captions, in display order.
QStringList recordLabels(const Form1 &form)
{
    return {form.Label1->text(),  form.Label11->text(), form.Label12->text(),
            form.Label10->text(), form.Label8->text(),  form.Label20->text()};
}

// Everything a step shows but the map, its colour and the record position.
Shown stepShown(const Form1 &form)
{
    return Shown(form).without({"map", "Shape6", "rstInfo"});
}

} // namespace

class TestForm1Navigation : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(french); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void nextAfterStartShowsTheSecondRecord();
    void previousFromTheFirstRecordGoesBeforeTheStart();
    void stepsGoOnFromTheFoundCommune();
    void stepsInTheShippedStoreFollowItsOrder();
    void pastTheEndOnlyTheColourChanges();
    void emptyFieldsKeepThePreviousText();
    void departementOfEachStep_data();
    void departementOfEachStep();
    void stepsLeaveSearchControlsAlone_data();
    void stepsLeaveSearchControlsAlone();
    void stepAfterASearchWithoutMatch();
    void dataFileIsNeverWritten_data();
    void dataFileIsNeverWritten();

private:
    QTemporaryDir m_dir;
    QString store();
};

// One record of each kind a step treats apart, in this order.
QString TestForm1Navigation::store()
{
    static QString path;
    if (path.isEmpty()) {
        path = m_dir.filePath(QStringLiteral("communes.sqlite"));
        const bool written =
            writeCommuneStore(path, {
                                        commune("L ABERGEMENT CLEMENCIAT", 4.92582, 46.15343, "01400", "AIN"), // 0
                                        commune("AJACCIO", 8.7369, 41.9192, "20000", "CORSE-DU-SUD"),          // 1
                                        commune("CERGY", 2.0761, 49.0364, "95000", "VAL-D'OISE"),              // 2
                                        commune("SANS CODE", 3.5, 47.5, {}, "YONNE"),                          // 3
                                        commune("SANS LATITUDE", 3.25, {}, "89000", {}),                       // 4
                                        commune({}, 4.85, 45.75, "69001", "RHONE"),                            // 5
                                        commune("LES ABYMES", -61.5038, 16.2727, "97139", "GUADELOUPE"),       // 6
                                        commune("AB TOWN", 1.5, 45.5, "AB123", "NULLE PART"),                  // 7
                                        commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),                  // 8
                                        commune("BOURG EN BRESSE", 5.2258, 46.2052, "01000", "AIN"),           // 9
                                    });
        if (!written)
            qFatal("cannot write the test store");
    }
    return path;
}

void TestForm1Navigation::nextAfterStartShowsTheSecondRecord()
{
    Window w(store());
    w.next();
    QCOMPARE(recordLabels(w.form),
             (QStringList{"AJACCIO", "8,7369", "41,9192", "20000", "CORSE-DU-SUD", "CORSE-DU-SUD"}));
    QCOMPARE(w.form.Text9->text(), QStringLiteral("20"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("20"));
    QCOMPARE(w.form.deptNumber, DeptNumber(QStringLiteral("20")));
    QCOMPARE(seedPoint(w.form), QPoint(221, 244));
    QCOMPARE(mapColor(w.form, QPoint(221, 244)), fillColor(w.form));
    QVERIFY(fillColor(w.form) != QColor(Qt::white));
    QCOMPARE(locatorShown(w.form), locatorOfShownPosition(w.form));
    QCOMPARE(w.messages, QStringList());
}

void TestForm1Navigation::previousFromTheFirstRecordGoesBeforeTheStart()
{
    Window w(store());
    const QStringList first = recordLabels(w.form);
    QCOMPARE(w.form.Text9->text(), QStringLiteral("01"));
    QCOMPARE(seedPoint(w.form), QPoint(0, 0));
    const QColor corner = mapColor(w.form, QPoint(0, 0));

    w.previous();
    QVERIFY(w.form.rstInfo.isBof());
    // No record: every record caption keeps its text.
    QCOMPARE(recordLabels(w.form), first);
    QCOMPARE(w.form.Label20->text(), QStringLiteral("Départements"));
    // The number shown at start-up ("01", with its zero) is repeated, and
    // matches no département: the point stays at the corner (0, 0), whose
    // area takes the new colour.
    QCOMPARE(w.form.Text9->text(), QStringLiteral("01"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("01"));
    QCOMPARE(w.form.deptNumber, DeptNumber(QStringLiteral("01")));
    QCOMPARE(seedPoint(w.form), QPoint(0, 0));
    QVERIFY(w.form.CmdCarte->isEnabled());
    QCOMPARE(mapColor(w.form, QPoint(0, 0)), fillColor(w.form));
    QVERIFY(mapColor(w.form, QPoint(0, 0)) != corner);
    // The locator of the captions still shown.
    QCOMPARE(locatorShown(w.form), QStringLiteral("JN26LD"));

    // One step back in: the first record.
    w.next();
    QCOMPARE(w.form.rstInfo.position(), 0);
    QCOMPARE(recordLabels(w.form),
             (QStringList{"L ABERGEMENT CLEMENCIAT", "4,92582", "46,15343", "01400", "AIN", "AIN"}));
    QCOMPARE(w.form.Text9->text(), QStringLiteral("1"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("1"));
    QCOMPARE(seedPoint(w.form), QPoint(190, 142));
    QCOMPARE(mapColor(w.form, QPoint(190, 142)), fillColor(w.form));
    // The map was repainted before the fill: the corner is back.
    QCOMPARE(mapColor(w.form, QPoint(0, 0)), corner);
    QCOMPARE(w.messages, QStringList());
}

void TestForm1Navigation::stepsGoOnFromTheFoundCommune()
{
    Window w(store());
    w.search(QStringLiteral("les abymes"));
    QCOMPARE(w.form.rstInfo.position(), 6);
    w.next();
    QCOMPARE(w.form.Label1->text(), QStringLiteral("AB TOWN"));
    w.previous();
    QCOMPARE(w.form.Label1->text(), QStringLiteral("LES ABYMES"));
    QCOMPARE(w.form.Label10->text(), QStringLiteral("97139"));
    // Over the NULL name the caption keeps the previous one.
    w.previous();
    QCOMPARE(w.form.Label1->text(), QStringLiteral("LES ABYMES"));
    QCOMPARE(w.form.Label10->text(), QStringLiteral("69001"));
}

void TestForm1Navigation::stepsInTheShippedStoreFollowItsOrder()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    Window w(shippedStorePath());
    Recordset table = w.form.data.database()->openRecordset(QStringLiteral("insee1"));
    QStringList names;
    int paris = -1;
    for (; !table.isEof(); table.moveNext()) {
        // The names as shown: INSEE's.
        names << table.fieldText(u"nom");
        if (table.fieldText(u"commune") == QLatin1String("PARIS"))
            paris = int(names.size()) - 1;
    }
    QVERIFY(paris > 0 && paris + 1 < names.size());

    w.search(QStringLiteral("paris"));
    w.next();
    QCOMPARE(w.form.Label1->text(), names[paris + 1]);
    QCOMPARE(locatorShown(w.form), locatorOfShownPosition(w.form));
    w.previous();
    w.previous();
    QCOMPARE(w.form.Label1->text(), names[paris - 1]);

    // The last communes of the table, then past its end and back.
    w.search(names[names.size() - 2]);
    QCOMPARE(w.form.Label1->text(), names[names.size() - 2]);
    w.next();
    QCOMPARE(w.form.Label1->text(), names.last());
    const Shown last = stepShown(w.form);
    w.next();
    w.next();
    QCOMPARE(stepShown(w.form), last);
    w.previous();
    QCOMPARE(stepShown(w.form), last);
    QCOMPARE(w.form.rstInfo.position(), names.size() - 1);
    QCOMPARE(w.messages, QStringList());
}

void TestForm1Navigation::pastTheEndOnlyTheColourChanges()
{
    Window w(store());
    w.search(QStringLiteral("bourg en bresse"));
    const Shown last = stepShown(w.form);
    QCOMPARE(last.seed, QPoint(190, 142));
    QColor previousFill = fillColor(w.form);
    for (int press = 0; press < 3; ++press) {
        w.next();
        QVERIFY(w.form.rstInfo.isEof());
        QCOMPARE(stepShown(w.form), last);
        QVERIFY(fillColor(w.form) != previousFill);
        QCOMPARE(mapColor(w.form, QPoint(190, 142)), fillColor(w.form));
        previousFill = fillColor(w.form);
    }
    w.previous();
    QCOMPARE(stepShown(w.form), last);
    QCOMPARE(w.form.rstInfo.position(), 9);
    // One record back from the last, not from further out.
    w.previous();
    QCOMPARE(w.form.Label1->text(), QStringLiteral("PARIS"));
    QCOMPARE(w.messages, QStringList());
}

void TestForm1Navigation::emptyFieldsKeepThePreviousText()
{
    Window w(store());
    w.search(QStringLiteral("cergy"));
    QVERIFY(w.form.CmdCarte->isEnabled());

    // NULL postal code: the caption and the number of CERGY stay, and the
    // Val-d'Oise is filled again with a new colour.
    const QColor cergyFill = fillColor(w.form);
    w.next();
    QCOMPARE(recordLabels(w.form), (QStringList{"SANS CODE", "3,5", "47,5", "95000", "YONNE", "YONNE"}));
    QCOMPARE(w.form.Text9->text(), QStringLiteral("95"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("95"));
    QCOMPARE(w.form.deptNumber, DeptNumber(QStringLiteral("95")));
    QCOMPARE(seedPoint(w.form), QPoint(142, 78));
    QVERIFY(fillColor(w.form) != cergyFill);
    QCOMPARE(mapColor(w.form, QPoint(142, 78)), fillColor(w.form));
    QVERIFY(w.form.CmdCarte->isEnabled());
    QCOMPARE(locatorShown(w.form), maidenheadLocator(47.5, 3.5));

    // NULL latitude and département: those captions keep their text, and the
    // locator is made of the new longitude and the old latitude.
    w.next();
    QCOMPARE(recordLabels(w.form), (QStringList{"SANS LATITUDE", "3,25", "47,5", "89000", "YONNE", "YONNE"}));
    QCOMPARE(w.form.Text9->text(), QStringLiteral("89"));
    QCOMPARE(seedPoint(w.form), LookupDepartement(u"89")->seed());
    QVERIFY(w.form.CmdCarte->isEnabled());
    QCOMPARE(locatorShown(w.form), maidenheadLocator(47.5, 3.25));

    // NULL name.
    w.next();
    QCOMPARE(recordLabels(w.form), (QStringList{"SANS LATITUDE", "4,85", "45,75", "69001", "RHONE", "RHONE"}));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("69"));
    QCOMPARE(w.messages, QStringList());
}

void TestForm1Navigation::departementOfEachStep_data()
{
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QPoint>("seed");
    QTest::addColumn<bool>("carte");

    // Steps from the first record.
    // clang-format off
    QTest::newRow("20") << 1 << "AJACCIO" << "20" << QPoint(221, 244) << true;
    QTest::newRow("95 keeps the online map") << 2 << "CERGY" << "95" << QPoint(142, 78) << true;
    QTest::newRow("97") << 6 << "LES ABYMES" << "97" << QPoint(5, 5) << false;
    // The point of the record before (97) stays; the button comes back.
    QTest::newRow("AB") << 7 << "AB TOWN" << "0" << QPoint(5, 5) << true;
    QTest::newRow("75") << 8 << "PARIS" << "75" << QPoint(38, 38) << true;
    QTest::newRow("01") << 9 << "BOURG EN BRESSE" << "1" << QPoint(190, 142) << true;
    // clang-format on
}

void TestForm1Navigation::departementOfEachStep()
{
    QFETCH(int, steps);
    QFETCH(QString, name);
    QFETCH(QString, number);
    QFETCH(QPoint, seed);
    QFETCH(bool, carte);
    Window w(store());
    for (int i = 0; i < steps; ++i)
        w.next();
    QCOMPARE(w.form.Label1->text(), name);
    QCOMPARE(w.form.Text9->text(), number);
    QCOMPARE(w.form.Label5->text(), number);
    QCOMPARE(w.form.deptNumber, DeptNumber(number));
    QCOMPARE(seedPoint(w.form), seed);
    QCOMPARE(w.form.CmdCarte->isEnabled(), carte);
    const QColor fill = fillColor(w.form);
    QCOMPARE(mapColor(w.form, seed), fill);
    if (seed == QPoint(5, 5)) {
        QCOMPARE(mapColor(w.form, QPoint(49, 216)), fill);
        QCOMPARE(mapColor(w.form, QPoint(264, 0)), fill);
    } else {
        // Only the département changed: the sea is as stored.
        QCOMPARE(mapColor(w.form, QPoint(49, 216)), QColor(0xcc, 0xe8, 0xff));
    }
    QCOMPARE(locatorShown(w.form), locatorOfShownPosition(w.form));
}

void TestForm1Navigation::stepsLeaveSearchControlsAlone_data()
{
    QTest::addColumn<QColor>("buttonColour");
    // clang-format off
    QTest::newRow("green") << green;
    QTest::newRow("red") << red;
    QTest::newRow("other") << QColor(12, 34, 56);
    // clang-format on
}

void TestForm1Navigation::stepsLeaveSearchControlsAlone()
{
    QFETCH(QColor, buttonColour);
    Window w(store());
    w.search(QStringLiteral("paris"));
    const QColor swatch = w.form.Shape6->backColor();
    w.form.cherche->setBackColor(buttonColour);
    QTest::mouseClick(w.form.Text7, Qt::LeftButton);
    QTest::keyClicks(w.form.Text7, QStringLiteral("cergy"));

    w.previous();
    w.previous();
    // Whatever the button's colour, the département part runs.
    QCOMPARE(w.form.Label1->text(), QStringLiteral("LES ABYMES"));
    QCOMPARE(w.form.Text9->text(), QStringLiteral("97"));
    QCOMPARE(seedPoint(w.form), QPoint(5, 5));
    w.next();
    QCOMPARE(w.form.Text9->text(), QStringLiteral("0"));

    QCOMPARE(w.form.cherche->backColor(), buttonColour);
    QCOMPARE(w.form.Shape6->backColor(), swatch);
    QVERIFY(fillColor(w.form) != swatch);
    QCOMPARE(w.form.Text7->text(), QStringLiteral("cergy"));
}

void TestForm1Navigation::stepAfterASearchWithoutMatch()
{
    Window w(store());
    w.search(QStringLiteral("paris"));
    w.search(QStringLiteral("nulle part"));
    QVERIFY(w.form.rstInfo.isEof());
    const Shown paris = stepShown(w.form);
    // The new recordset is past its end: a step forward shows nothing new.
    w.next();
    QCOMPARE(stepShown(w.form), paris);
    QCOMPARE(w.form.cherche->backColor(), red);
    // A step back shows the last record of the table.
    w.previous();
    QCOMPARE(w.form.Label1->text(), QStringLiteral("BOURG EN BRESSE"));
    QCOMPARE(w.form.cherche->backColor(), red);
}

void TestForm1Navigation::dataFileIsNeverWritten_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("name");
    // clang-format off
    QTest::addColumn<QString>("brest"); // as shown: INSEE's name where the store has it
    QTest::newRow("shipped store") << shippedStorePath() << "insee.sqlite" << "Brest";
    QTest::newRow("Access sample") << fixturePath("insee-mdb/insee-sample.mdb") << "insee.mdb" << "BREST";
    // clang-format on
}

void TestForm1Navigation::dataFileIsNeverWritten()
{
    QFETCH(QString, source);
    QFETCH(QString, name);
    QFETCH(QString, brest);
    REQUIRE_SHARED_FILE(source);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(QFile::copy(source, path));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    // An old time stamp, so that any write, even within the same second, shows.
    const QDateTime stamp = QDateTime::currentDateTime().addDays(-3);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    const QByteArray digest = fileFingerprint(path);
    const QDateTime modified = QFileInfo(path).lastModified();
    QVERIFY(!digest.isEmpty());

    {
        Window w(path);
        w.search(QStringLiteral("paris"));
        w.next();
        w.search(QStringLiteral("brest"));
        QCOMPARE(w.form.Label1->text(), brest);
        w.previous();
        w.search(QStringLiteral("nulle part"));
        w.next();
        w.previous();
        w.search(QStringLiteral("[ab"));
        w.search(QStringLiteral("*"));
        w.previous();
        w.next();
        QTest::mouseClick(w.form.Picture1, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseClick(w.form.Command2, Qt::LeftButton);
        QTest::keyClick(w.form.Text7, Qt::Key_Escape);
        QCOMPARE(w.quits, 1);
    }
    QCOMPARE(fileFingerprint(path), digest);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    // No journal or lock file was left beside it either.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
}

QTEST_MAIN(TestForm1Navigation)
#include "test_form1_navigation.moc"
