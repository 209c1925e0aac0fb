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

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The search box and the search button of the real main window, driven by
// keys and clicks: one check of each behaviour of the window's own (Enter,
// the button's colour, the hint line, F3, the box emptied by a click, what is
// shown of the commune found). What the search answers is test_find_communes.

using namespace form1test;

class TestForm1Search : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(french); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void locatorIsTheSameInBothLocales();
    void noMatchChangesNothingButTheButtonColour();
    void sameSearchTwiceDrawsANewColour();
    void clickInSearchBoxEmptiesItEveryTime();
    void enterRunsTheSearch_data();
    void enterRunsTheSearch();
    void enterOnAFocusedButtonPressesThatButton();
    void everySearchStartsFromTheFirstRecord();
    void hintLineSaysHowItWasFound();
    void postalCodeInAnOwnFileUsesCodepos();
    void malformedPatternIsRefusedInTheHint_data();
    void malformedPatternIsRefusedInTheHint();
    void departementOfTheFoundCommune_data();
    void departementOfTheFoundCommune();
    void onlineMapButtonFollowsTheDepartement();
    void displayWithoutSkippingKeepsTheDepartement();
    void foundRecordWithAnEmptyFieldIsReported();
    void positionOffTheGridShowsDashes();

private:
    QTemporaryDir m_dir;
    QString smallStore();
};

// Communes chosen for their postal codes: one of each kind the display
// treats apart.
QString TestForm1Search::smallStore()
{
    static QString path;
    if (path.isEmpty()) {
        path = writeNumberedStore(m_dir, displayKindsCommunes());
    }
    return path;
}

// The longitude is shown in the user's locale, and read back in it for the
// locator.
void TestForm1Search::locatorIsTheSameInBothLocales()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    for (const auto &[locale, longitude] : {std::pair{french, "-4,50259"}, std::pair{english, "-4.50259"}}) {
        QLocale::setDefault(locale);
        Window w(shippedStorePath());
        w.search(QStringLiteral("BREST"));
        QCOMPARE(w.form.Label1->text(), QStringLiteral("Brest"));
        QCOMPARE(w.form.Label11->text(), QLatin1String(longitude));
        QCOMPARE(locatorShown(w.form), QStringLiteral("IN78RJ"));
        QCOMPARE(w.messages, QStringList());
    }
}

void TestForm1Search::noMatchChangesNothingButTheButtonColour()
{
    const QString typed = QStringLiteral("nulle part");
    Window w(smallStore());
    w.search(QStringLiteral("paris"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("PARIS"));
    const Shown before(w.form);

    w.search(typed);
    QCOMPARE(w.form.Text7->text(), typed.toUpper());
    Shown after(w.form);
    QCOMPARE(after.cherche, red);
    QVERIFY(w.form.rstInfo.isEof());
    after.cherche = before.cherche;
    after.position = before.position;
    QCOMPARE(differences(before, after), QString());

    w.search(QStringLiteral("la roche sur yon"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("LA ROCHE SUR YON"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("85"));
    QCOMPARE(w.form.cherche->backColor(), green);
    QCOMPARE(w.messages, QStringList());
}

void TestForm1Search::sameSearchTwiceDrawsANewColour()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    Window w(shippedStorePath());
    w.search(QStringLiteral("PARIS"));
    const Shown first(w.form);
    w.search(QStringLiteral("PARIS"));
    const Shown second(w.form);
    QCOMPARE(second.texts, first.texts);
    QCOMPARE(second.position, first.position);
    QCOMPARE(second.seed, first.seed);
    QVERIFY(second.swatch != first.swatch);
    QCOMPARE(mapColor(w.form, QPoint(38, 38)), second.swatch);
    // Only Paris changed colour: the map was repainted before the fill.
    QCOMPARE(mapColor(w.form, QPoint(23, 40)), QColor(Qt::white));
}

void TestForm1Search::clickInSearchBoxEmptiesItEveryTime()
{
    Window w(smallStore());
    QCOMPARE(w.form.Text7->text(), QStringLiteral("Votre choix ?"));
    const Shown start(w.form);
    QTest::mouseClick(w.form.Text7, Qt::LeftButton);
    QCOMPARE(w.form.Text7->text(), QString());
    // Clicking is not searching.
    QCOMPARE(differences(start, Shown(w.form)), QString());

    QTest::keyClicks(w.form.Text7, QStringLiteral("paris"));
    QCOMPARE(w.form.Text7->text(), QStringLiteral("paris"));
    QTest::mouseClick(w.form.Text7, Qt::LeftButton);
    QCOMPARE(w.form.Text7->text(), QString());

    w.search(QStringLiteral("cergy"));
    QCOMPARE(w.form.Text7->text(), QStringLiteral("CERGY"));
    QTest::mouseClick(w.form.Text7, Qt::LeftButton, {}, QPoint(100, 5));
    QCOMPARE(w.form.Text7->text(), QString());
    QTest::mouseClick(w.form.Text7, Qt::LeftButton, {}, QPoint(100, 5));
    QCOMPARE(w.form.Text7->text(), QString());
    QCOMPARE(w.form.Label1->text(), QStringLiteral("CERGY"));
}

void TestForm1Search::enterRunsTheSearch_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("key");
    // clang-format off
    QTest::newRow("Return in the box") << "Text7" << int(Qt::Key_Return);
    QTest::newRow("keypad Enter in the box") << "Text7" << int(Qt::Key_Enter);
    QTest::newRow("Return on the map") << "Picture1" << int(Qt::Key_Return);
    // clang-format on
}

void TestForm1Search::enterRunsTheSearch()
{
    QFETCH(QString, target);
    QFETCH(int, key);
    Window w(smallStore());
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.form.Text7->setText(QStringLiteral("cergy"));
    QWidget *receiver =
        target == QLatin1String("Form1") ? static_cast<QWidget *>(&w.form) : w.form.findChild<QWidget *>(target);
    QVERIFY(receiver);
    if (receiver->focusPolicy() != Qt::NoFocus)
        receiver->setFocus();
    else if (QWidget *focused = QApplication::focusWidget())
        focused->clearFocus();
    QTest::keyClick(receiver, Qt::Key(key));
    QCOMPARE(w.form.Text7->text(), QStringLiteral("CERGY"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("CERGY"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("95"));
    // Enter in the box runs the search only: it adds nothing to the text.
    QTest::keyClick(w.form.Text7, Qt::Key_Return);
    QCOMPARE(w.form.Text7->text(), QStringLiteral("CERGY"));
}

void TestForm1Search::enterOnAFocusedButtonPressesThatButton()
{
    Window w(smallStore());
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.form.Text7->setText(QStringLiteral("cergy"));
    w.form.apres->setFocus();
    QTest::keyClick(w.form.apres, Qt::Key_Return);
    // ">>" ran, not the search: the box was not upper-cased.
    QCOMPARE(w.form.Text7->text(), QStringLiteral("cergy"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("AJACCIO"));

    w.form.cherche->setFocus();
    QTest::keyClick(w.form.cherche, Qt::Key_Return);
    QCOMPARE(w.form.Label1->text(), QStringLiteral("CERGY"));
    QCOMPARE(w.form.Text7->text(), QStringLiteral("CERGY"));
}

void TestForm1Search::everySearchStartsFromTheFirstRecord()
{
    Window w(writeNumberedStore(m_dir, {
                                           commune("AAA", 1.0, 45.0, "03000", "ALLIER"),
                                           commune("SAINTE MARIE", 2.0, 46.0, "01000", "AIN"),
                                           commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                                           commune("SAINTE MARIE", 9.0, 42.0, "20000", "CORSE"),
                                           commune("SAINTE MARIE DU MONT", 3.0, 47.0, "50480", "MANCHE"),
                                       }));
    w.search(QStringLiteral("sainte marie"));
    QCOMPARE(w.form.Label10->text(), QStringLiteral("01000"));
    QCOMPARE(w.form.rstInfo.position(), 1);

    QTest::mouseClick(w.form.apres, Qt::LeftButton);
    QTest::mouseClick(w.form.apres, Qt::LeftButton);
    QCOMPARE(w.form.Label10->text(), QStringLiteral("20000"));
    w.search(QStringLiteral("sainte marie"));
    QCOMPARE(w.form.Label10->text(), QStringLiteral("01000"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("1"));
}

// The hint line under the box says how the commune shown was found: by a
// postal code that is also an INSEE code; for a square without a commune,
// the nearest and how far it lies.
void TestForm1Search::hintLineSaysHowItWasFound()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    Window w(shippedStorePath());
    w.search(QStringLiteral("75015"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Paris"));
    QCOMPARE(w.form.Label10->text(), QStringLiteral("75015"));
    QCOMPARE(w.form.Label7->text(), QStringLiteral("code postal 75015 → PARIS · 1 sur 2 · F3 suivante"));
    w.search(QStringLiteral("in83"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Hendaye"));
    QVERIFY2(w.form.Label7->text().startsWith(QStringLiteral("Aucune commune dans IN83 · HENDAYE à 101 km du centre")),
             qPrintable(w.form.Label7->text()));
    QCOMPARE(locatorShown(w.form), locatorOfShownPosition(w.form));
    QCOMPARE(w.messages, QStringList());
}

void TestForm1Search::postalCodeInAnOwnFileUsesCodepos()
{
    Window w(smallStore());
    w.search(QStringLiteral("74500"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("EVIAN LES BAINS"));
    QCOMPARE(w.form.Label10->text(), QStringLiteral("74500"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("74"));
    QCOMPARE(w.form.Label7->text(), QStringLiteral("1 sur 2 · F3 suivante"));
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    QCOMPARE(w.form.Label1->text(), QString::fromUtf8("ÉVIAN"));
    QCOMPARE(w.form.Label10->text(), QStringLiteral("74500"));
}

void TestForm1Search::malformedPatternIsRefusedInTheHint_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("afterNoMatch");
    // clang-format off
    QTest::newRow("[ab") << "[ab" << false;
    QTest::newRow("[ab, button red") << "[ab" << true;
    QTest::newRow("64 KB of ?, pasted") << QString(65536, u'?') << false;
    // clang-format on
}

void TestForm1Search::malformedPatternIsRefusedInTheHint()
{
    QFETCH(QString, typed);
    QFETCH(bool, afterNoMatch);
    Window w(smallStore());
    w.search(QStringLiteral("cergy"));
    if (afterNoMatch)
        w.search(QStringLiteral("nulle part"));
    QCOMPARE(w.form.cherche->backColor(), afterNoMatch ? red : green);
    QCOMPARE(w.messages, QStringList());
    const Shown before(w.form);

    w.pasteAndSearch(typed);
    // Whatever the box kept of it, the box shows it upper-cased.
    QCOMPARE(w.form.Text7->text(), typed.toUpper().left(w.form.Text7->maxLength()));
    // The reason shows in the hint under the box; no message window.
    QCOMPARE(w.messages, QStringList());
    QVERIFY(w.form.Label7->text().startsWith(QStringLiteral("Motif de recherche invalide")));
    QVERIFY2(w.form.Label7->text().size() < 200, qPrintable(w.form.Label7->text()));
    QCOMPARE(differences(before, Shown(w.form)), QString());
    QCOMPARE(w.quits, 0);

    // The recordset was left where it was: a step goes on from there.
    QTest::mouseClick(w.form.apres, Qt::LeftButton);
    if (afterNoMatch) {
        QCOMPARE(w.form.Label1->text(), QStringLiteral("CERGY"));
    } else {
        QCOMPARE(w.form.Label1->text(), QStringLiteral("PARIS"));
    }
}

void TestForm1Search::departementOfTheFoundCommune_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QPoint>("seed");
    QTest::addColumn<bool>("carte");

    // Every search first finds PARIS, so the point (38, 38) is the previous one.
    // clang-format off
    QTest::newRow("Corsica") << "ajaccio" << "20" << QPoint(221, 244) << true;
    QTest::newRow("overseas") << "les abymes" << "97" << QPoint(5, 5) << false;
    QTest::newRow("95 keeps the online map") << "cergy" << "95" << QPoint(142, 78) << true;
    QTest::newRow("01, no leading zero") << "bourg en bresse" << "1" << QPoint(190, 142) << true;
    QTest::newRow("blanks in the name") << "la roche sur yon" << "85" << LookupDepartement(u"85")->seed() << true;
    QTest::newRow("letters, no number") << "ab town" << "0" << QPoint(38, 38) << true;
    // clang-format on
}

void TestForm1Search::departementOfTheFoundCommune()
{
    QFETCH(QString, typed);
    QFETCH(QString, number);
    QFETCH(QPoint, seed);
    QFETCH(bool, carte);
    Window w(smallStore());
    w.search(QStringLiteral("paris"));
    QCOMPARE(seedPoint(w.form), QPoint(38, 38));
    const QColor parisFill = mapColor(w.form, QPoint(38, 38));

    w.search(typed);
    QCOMPARE(w.form.Label1->text(), typed.toUpper());
    QCOMPARE(w.form.Text9->text(), number);
    QCOMPARE(w.form.Label5->text(), number);
    QCOMPARE(w.form.deptNumber, DeptNumber(number));
    QCOMPARE(seedPoint(w.form), seed);
    QCOMPARE(w.form.CmdCarte->isEnabled(), carte);
    QCOMPARE(w.form.cherche->backColor(), green);
    const QColor fill = w.form.Shape6->backColor();
    QCOMPARE(mapColor(w.form, seed), fill);
    QVERIFY(fill != parisFill);
    if (seed != QPoint(38, 38)) {
        // The map was repainted: Paris is white again.
        QCOMPARE(mapColor(w.form, QPoint(38, 38)), QColor(Qt::white));
    }
    if (number == QLatin1String("97")) {
        // The whole sea around the map takes the colour.
        QCOMPARE(mapColor(w.form, QPoint(49, 216)), fill);
        QCOMPARE(mapColor(w.form, QPoint(264, 0)), fill);
    }
    QCOMPARE(locatorShown(w.form), locatorOfShownPosition(w.form));
    QCOMPARE(w.messages, QStringList());
}

void TestForm1Search::onlineMapButtonFollowsTheDepartement()
{
    Window w(smallStore());
    QVERIFY(w.form.CmdCarte->isEnabled());
    const struct
    {
        const char *typed;
        bool carte;
    } steps[] = {
        {"les abymes", false}, {"cergy", true}, {"les abymes", false}, {"paris", true}, {"ab town", true},
    };
    for (const auto &step : steps) {
        w.search(QLatin1String(step.typed));
        QCOMPARE(w.form.Label1->text(), QString::fromLatin1(step.typed).toUpper());
        QCOMPARE(w.form.CmdCarte->isEnabled(), step.carte);
    }
}

void TestForm1Search::displayWithoutSkippingKeepsTheDepartement()
{
    Window w(smallStore());
    w.search(QStringLiteral("les abymes"));
    QCOMPARE(w.form.Text9->text(), QStringLiteral("97"));
    QVERIFY(!w.form.CmdCarte->isEnabled());
    // A click on the map colours the Ain over a repainted map and names it,
    // leaving the display's point and number alone.
    QTest::mouseClick(w.form.Picture1, Qt::LeftButton, {}, QPoint(190, 142));
    const QColor ainFill = mapColor(w.form, QPoint(190, 142));
    QVERIFY(ainFill != QColor(Qt::white));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("1"));
    QCOMPARE(mapColor(w.form, QPoint(5, 5)), QColor(0xcc, 0xe8, 0xff));
    const Shown before(w.form);

    // The first record matches at once: nothing skipped, the button is green.
    w.search(QStringLiteral("l abergement*"));
    const Shown after(w.form);
    QCOMPARE(w.form.Label1->text(), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
    QCOMPARE(w.form.Label10->text(), QStringLiteral("01400"));
    QCOMPARE(w.form.Label8->text(), QStringLiteral("AIN"));
    QCOMPARE(w.form.Label20->text(), QStringLiteral("AIN"));
    QCOMPARE(w.form.Label12->text(), QStringLiteral("46,15343"));
    QCOMPARE(locatorShown(w.form), QStringLiteral("JN26LD"));
    QCOMPARE(w.form.Text9->text(), QStringLiteral("97"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("1"));
    QCOMPARE(w.form.deptNumber, DeptNumber(QStringLiteral("97")));
    QCOMPARE(after.seed, before.seed);
    QVERIFY(!w.form.CmdCarte->isEnabled());
    QCOMPARE(w.form.cherche->backColor(), green);
    // The sea takes the new colour; the map was not repainted, so the Ain
    // keeps the colour of the click.
    QVERIFY(after.swatch != before.swatch);
    QCOMPARE(mapColor(w.form, QPoint(5, 5)), after.swatch);
    QCOMPARE(mapColor(w.form, QPoint(190, 142)), ainFill);
}

void TestForm1Search::foundRecordWithAnEmptyFieldIsReported()
{
    Window w(writeNumberedStore(m_dir, {
                                           commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                                           commune("SANS LATITUDE", 3.25, {}, "89000", "YONNE"),
                                           commune("CERGY", 2.0761, 49.0364, "95000", "VAL-D'OISE"),
                                       }));
    w.search(QStringLiteral("cergy"));
    const Shown before(w.form);
    w.search(QStringLiteral("sans latitude"));
    // The display stops at the empty field and says so; what it wrote
    // before stays, the rest shows CERGY still.
    QCOMPARE(w.messages.size(), 1);
    QVERIFY2(w.messages.first().contains(QLatin1String("latitude")), qPrintable(w.messages.first()));
    QCOMPARE(w.quits, 0);
    Shown after(w.form);
    QCOMPARE(after.texts.mid(0, 2), (QStringList{"SANS LATITUDE", "3,25"}));
    QCOMPARE(after.cherche, red);
    after.texts[0] = before.texts[0];
    after.texts[1] = before.texts[1];
    after.cherche = before.cherche;
    QCOMPARE(after.position, 1);
    after.position = before.position;
    QCOMPARE(differences(before, after), QString());

    // The window goes on from the record it stopped at.
    QTest::mouseClick(w.form.apres, Qt::LeftButton);
    QCOMPARE(w.form.Label1->text(), QStringLiteral("CERGY"));
    w.search(QStringLiteral("paris"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("PARIS"));
    QCOMPARE(w.messages.size(), 1);
}

// A user's own file may hold a position outside the grid: the locator shows
// dashes, no message, and the next record shows its letters again.
void TestForm1Search::positionOffTheGridShowsDashes()
{
    Window w(writeNumberedStore(m_dir, {
                                           commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                                           commune("NULLE PART", 200.5, 95.25, "75002", "PARIS"),
                                           commune("BREST", -4.48628, 48.39003, "29200", "FINISTERE"),
                                       }));
    w.search(QStringLiteral("nulle part"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("NULLE PART"));
    QCOMPARE(locatorShown(w.form), QStringLiteral("------"));
    QCOMPARE(w.messages, QStringList());
    QTest::mouseClick(w.form.apres, Qt::LeftButton);
    QCOMPARE(w.form.Label1->text(), QStringLiteral("BREST"));
    QCOMPARE(locatorShown(w.form), maidenheadLocator(48.39003, -4.48628));
}

QTEST_MAIN(TestForm1Search)
#include "test_form1_search.moc"
