#include "Form1Driver.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "app/MatchList.h"
#include "departements/DepartementTable.h"

#include <QTemporaryDir>
#include <QtTest>

// A search text that matches several communes: the count under the search
// box, F3 to the next one, and the list of matches.

using namespace form1test;

namespace {

QStringList listLines(const Form1 &form)
{
    QStringList lines;
    for (int i = 0; i < form.matchList->count(); ++i)
        lines << form.matchList->item(i)->text();
    return lines;
}

} // namespace

class TestForm1Homonyms : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(french); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void countIsShownAndTheHintComesBack_data();
    void countIsShownAndTheHintComesBack();
    void f3ShowsEachMatchInTurn();
    void stepsGoOnFromTheMatchF3Showed();
    void listShowsTheMatchesAndAChoiceShowsIt();
    void listOpensByRightClickAndEscChangesNothing();
    void oneMatchOpensNoList();
    void everyCommuneIsCountedButFewAreListed();

private:
    QTemporaryDir m_dir;
    QString store();
};

// Three spellings of one name, in a user's own table, among others.
QString TestForm1Homonyms::store()
{
    static QString path;
    if (path.isEmpty()) {
        path = writeNumberedStore(m_dir, {
                                             commune("AAA", 1.0, 45.0, "03000", "ALLIER"),
                                             commune("SAINTE MARIE", 2.0, 46.0, "01000", "AIN"),
                                             commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                                             commune("Sainte-Marie", 9.0, 42.0, "20000", "CORSE"),
                                             commune("STE MARIE DU MONT", 3.0, 47.0, "50480", "MANCHE"),
                                             commune("STE MARIE", -61.0, 14.7, "97230", "MARTINIQUE"),
                                         });
    }
    return path;
}

void TestForm1Homonyms::countIsShownAndTheHintComesBack_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("shown");
    // clang-format off
    QTest::newRow("one match") << "paris" << "PARIS";
    QTest::newRow("no match") << "nulle part" << "STE MARIE";
    // clang-format on
}

void TestForm1Homonyms::countIsShownAndTheHintComesBack()
{
    QFETCH(QString, then);
    QFETCH(QString, shown);
    Window w(store());
    QCOMPARE(w.form.Label7->text(), hint);
    w.search(QStringLiteral("Sainte-Marie"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("SAINTE MARIE"));
    QCOMPARE(w.form.Label7->text(), QStringLiteral("1 sur 3 · F3 suivante"));
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    QCOMPARE(w.form.Label7->text(), QStringLiteral("2 sur 3 · F3 suivante"));
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    w.search(then);
    // No match is said in the hint itself.
    QVERIFY2(w.form.Label7->text() == hint || w.form.Label7->text().startsWith(u"Aucune commune"),
             qPrintable(w.form.Label7->text()));
    QCOMPARE(w.form.Label1->text(), shown);
    // With nothing counted, F3 does nothing.
    const Shown before(w.form);
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    QCOMPARE(differences(before, Shown(w.form)), QString());
}

void TestForm1Homonyms::f3ShowsEachMatchInTurn()
{
    Window w(store());
    w.search(QStringLiteral("ste marie"));
    const struct
    {
        int position;
        const char *name;
        const char *codepos;
        const char *number;
        const char *count;
    } expected[] = {
        {3, "Sainte-Marie", "20000", "20", "2 sur 3"},
        {5, "STE MARIE", "97230", "97", "3 sur 3"},
        {1, "SAINTE MARIE", "01000", "1", "1 sur 3"},
        {3, "Sainte-Marie", "20000", "20", "2 sur 3"},
    };
    for (const auto &step : expected) {
        const QColor before = fillColor(w.form);
        // F3 reaches the window from any control.
        QTest::keyClick(w.form.Picture1, Qt::Key_F3);
        QCOMPARE(w.form.rstInfo.position(), step.position);
        QCOMPARE(w.form.Label1->text(), QString::fromUtf8(step.name));
        QCOMPARE(w.form.Label10->text(), QLatin1String(step.codepos));
        QCOMPARE(w.form.Text9->text(), QLatin1String(step.number));
        QCOMPARE(w.form.Label5->text(), QLatin1String(step.number));
        QCOMPARE(w.form.deptNumber, DeptNumber(QLatin1String(step.number)));
        QCOMPARE(seedPoint(w.form), LookupDepartement(QString::fromLatin1(step.number))->seed());
        QCOMPARE(mapColor(w.form, seedPoint(w.form)), w.form.Shape6->backColor());
        QVERIFY(fillColor(w.form) != before);
        QCOMPARE(w.form.cherche->backColor(), green);
        QCOMPARE(w.form.CmdCarte->isEnabled(), QLatin1String(step.number) != QLatin1String("97"));
        QCOMPARE(locatorShown(w.form), locatorOfShownPosition(w.form));
        QVERIFY(w.form.Label7->text().startsWith(QLatin1String(step.count)));
    }
    QCOMPARE(w.form.Text7->text(), QStringLiteral("STE MARIE"));
    QCOMPARE(w.messages, QStringList());
}

void TestForm1Homonyms::stepsGoOnFromTheMatchF3Showed()
{
    Window w(store());
    w.search(QStringLiteral("ste marie"));
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Sainte-Marie"));
    w.next();
    QCOMPARE(w.form.Label1->text(), QStringLiteral("STE MARIE DU MONT"));
    w.previous();
    w.previous();
    QCOMPARE(w.form.Label1->text(), QStringLiteral("PARIS"));
    // F3 goes on from the match it showed last, not from the steps.
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    QCOMPARE(w.form.Label10->text(), QStringLiteral("97230"));
}

void TestForm1Homonyms::listShowsTheMatchesAndAChoiceShowsIt()
{
    Window w(store());
    w.search(QStringLiteral("ste marie"));
    QTest::keyClick(w.form.Text7, Qt::Key_Down);
    QVERIFY(w.form.matchList);
    QVERIFY(w.form.matchList->isVisible());
    QCOMPARE(listLines(w.form), (QStringList{"SAINTE MARIE — 01000 — AIN", "Sainte-Marie — 20000 — CORSE",
                                             "STE MARIE — 97230 — MARTINIQUE"}));
    QCOMPARE(w.form.matchList->currentRow(), 0);
    QTest::keyClick(w.form.matchList, Qt::Key_Down);
    QTest::keyClick(w.form.matchList, Qt::Key_Down);
    QTest::keyClick(w.form.matchList, Qt::Key_Return);
    QVERIFY(!w.form.matchList->isVisible());
    QCOMPARE(w.form.Label1->text(), QStringLiteral("STE MARIE"));
    QCOMPARE(w.form.rstInfo.position(), 5);
    QCOMPARE(w.form.Label5->text(), QStringLiteral("97"));
    QCOMPARE(w.form.Label7->text(), QStringLiteral("3 sur 3 · F3 suivante"));
    // The list opens again on the shown match; F3 wraps from there.
    QTest::keyClick(w.form.Text7, Qt::Key_Down);
    QCOMPARE(w.form.matchList->currentRow(), 2);
    QTest::keyClick(w.form.matchList, Qt::Key_Escape);
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    QCOMPARE(w.form.Label10->text(), QStringLiteral("01000"));
}

void TestForm1Homonyms::listOpensByRightClickAndEscChangesNothing()
{
    Window w(store());
    w.search(QStringLiteral("sainte marie"));
    const Shown before(w.form);
    QTest::mouseClick(w.form.Text7, Qt::RightButton);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), w.form.Text7->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w.form.Text7, &menu);
    QVERIFY(w.form.matchList && w.form.matchList->isVisible());
    QCOMPARE(w.form.matchList->count(), 3);
    QTest::keyClick(w.form.matchList, Qt::Key_Escape);
    QVERIFY(!w.form.matchList->isVisible());
    QCOMPARE(differences(before, Shown(w.form)), QString());
    QCOMPARE(w.quits, 0);
}

void TestForm1Homonyms::oneMatchOpensNoList()
{
    Window w(store());
    w.search(QStringLiteral("paris"));
    QTest::keyClick(w.form.Text7, Qt::Key_Down);
    QVERIFY(!w.form.matchList || !w.form.matchList->isVisible());
    QCOMPARE(w.form.Label7->text(), hint);
}

void TestForm1Homonyms::everyCommuneIsCountedButFewAreListed()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    Window w(shippedStorePath());
    w.search(QStringLiteral("*"));
    const int all = w.form.rstInfo.recordCount();
    QCOMPARE(w.form.Label7->text(), QStringLiteral("1 sur %1 · F3 suivante").arg(all));
    QTest::keyClick(w.form.Text7, Qt::Key_Down);
    QCOMPARE(w.form.matchList->count(), MaxListedMatches + 1);
    QCOMPARE(
        w.form.matchList->item(MaxListedMatches)->text(),
        QStringLiteral("%1 premières sur %2 · F3 les montre toutes").arg(MaxListedMatches).arg(french.toString(all)));
    // The line that counts the others is not a commune to choose.
    QTest::mouseClick(w.form.matchList->viewport(), Qt::LeftButton, {},
                      w.form.matchList->visualItemRect(w.form.matchList->item(MaxListedMatches)).center());
    QCOMPARE(w.form.rstInfo.position(), 0);
}

QTEST_MAIN(TestForm1Homonyms)
#include "test_form1_homonyms.moc"
