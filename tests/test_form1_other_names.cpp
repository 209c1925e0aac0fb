#include "Form1Driver.h"
#include "TestPaths.h"
#include "app/Form1Layout.h"
#include "app/MatchList.h"
#include "departements/DepartementTable.h"
#include "widgets/WholeNameFont.h"

#include <QAccessible>
#include <QtTest>

// A commune found by another name in the window: shown as a found commune,
// the other name told where the count stands, several stepped with F3 and
// the list.

using namespace form1test;

namespace {

const QRect hintLine(48, 328, 177, 17);

// The hint shows its text whole, inside both hint lines at most.
QString hintShownWhole(const Form1 &form)
{
    const QLabel *label = form.Label7;
    if (!form1::bothHintLines.contains(label->geometry()))
        return QStringLiteral("outside the hint lines");
    if (label->geometry() != hintLine && form.Label2->isVisible())
        return QStringLiteral("over the second hint line");
    if (label->font().pixelSize() < minimumNamePixelSize)
        return QStringLiteral("font of %1 px").arg(label->font().pixelSize());
    if (!wrappedTextFits(label->font(), label->text(), label->size()))
        return QStringLiteral("cut: ") + label->text();
    return {};
}

} // namespace

class TestForm1OtherNames : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QLocale::setDefault(french);
        if (!QFileInfo::exists(shippedStorePath()))
            QSKIP("the shipped table is absent");
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void shownAsAFoundCommune_data();
    void shownAsAFoundCommune();
    void severalStepWithF3AndTheList();
    void stepsLeaveTheOtherNameBehind();
    void refusalGivesTheOtherNameBack();
};

void TestForm1OtherNames::shownAsAFoundCommune_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("codepos");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("told");
    // clang-format off
    QTest::newRow("commune déléguée") << "Cherbourg-Octeville" << "Cherbourg-en-Cotentin" << "50100" << "50" << "CHERBOURG OCTEVILLE → CHERBOURG EN COTENTIN (commune déléguée, 1er janvier 2016)";
    QTest::newRow("arrondissement, its own code") << "paris 15e arrondissement" << "Paris" << "75015" << "75" << "PARIS 15E ARRONDISSEMENT → PARIS (arrondissement municipal)";
    QTest::newRow("post office") << "Puyricard" << "Aix-en-Provence" << "13540" << "13" << "PUYRICARD → AIX EN PROVENCE (localité postale)";
    QTest::newRow("article last, nothing to tell") << "FRETTE SUR SEINE (LA)" << "La Frette-sur-Seine" << "95530" << "95" << "Nom, code postal, INSEE ou locator";
    QTest::newRow("the longest text") << "la villeneuve sur vingeanne" << "Montigny-Mornay-Villeneuve-sur-Vingeanne" << "21610" << "21" << "LA VILLENEUVE SUR VINGEANNE → MONTIGNY MORNAY VILLENEUVE SUR VINGEANNE (commune associée, 31 décembre 1972)";
    // clang-format on
}

void TestForm1OtherNames::shownAsAFoundCommune()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(QString, codepos);
    QFETCH(QString, number);
    QFETCH(QString, told);
    Window w(shippedStorePath());
    w.search(typed);
    QCOMPARE(w.form.Label1->text(), name);
    QCOMPARE(w.form.Label10->text(), codepos);
    QCOMPARE(w.form.Label5->text(), number);
    QCOMPARE(seedPoint(w.form), LookupDepartement(number)->seed());
    QCOMPARE(mapColor(w.form, seedPoint(w.form)), w.form.Shape6->backColor());
    QCOMPARE(w.form.cherche->backColor(), green);
    QCOMPARE(locatorShown(w.form), locatorOfShownPosition(w.form));
    QCOMPARE(w.form.Label7->text(), told);
    QCOMPARE(hintShownWhole(w.form), QString());
    // A screen reader reads the same.
    QCOMPARE(QAccessible::queryAccessibleInterface(w.form.Label7)->text(QAccessible::Name), told);
    QCOMPARE(w.messages, QStringList());
}

void TestForm1OtherNames::severalStepWithF3AndTheList()
{
    Window w(shippedStorePath());
    w.search(QStringLiteral("virey"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Saint-Hilaire-du-Harcouët"));
    QCOMPARE(
        w.form.Label7->text(),
        QStringLiteral("VIREY → ST HILAIRE DU HARCOUET (commune déléguée, 1er janvier 2016) · 1 sur 2 · F3 suivante"));
    QCOMPARE(hintShownWhole(w.form), QString());
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Avrigney-Virey"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("70"));
    QCOMPARE(w.form.Label7->text(),
             QStringLiteral("VIREY → AVRIGNEY VIREY (commune associée, 31 décembre 1972) · 2 sur 2 · F3 suivante"));

    QTest::keyClick(w.form.Text7, Qt::Key_Down);
    QVERIFY(w.form.matchList && w.form.matchList->isVisible());
    QCOMPARE(w.form.matchList->item(0)->text(),
             QStringLiteral("VIREY → ST HILAIRE DU HARCOUET (commune déléguée, 1er janvier 2016) — 50600 — MANCHE"));
    QCOMPARE(w.form.matchList->item(1)->text(),
             QStringLiteral("VIREY → AVRIGNEY VIREY (commune associée, 31 décembre 1972) — 70150 — HAUTE-SAONE"));
    QCOMPARE(w.form.matchList->currentRow(), 1);
    QTest::keyClick(w.form.matchList, Qt::Key_Up);
    QTest::keyClick(w.form.matchList, Qt::Key_Return);
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Saint-Hilaire-du-Harcouët"));
    QCOMPARE(w.form.Label5->text(), QStringLiteral("50"));
    QVERIFY(w.form.Label7->text().startsWith(QStringLiteral("VIREY → ST HILAIRE DU HARCOUET")));
}

// >> and << go on from the commune found; the other name was that
// commune's, so the hint comes back while another is shown.
void TestForm1OtherNames::stepsLeaveTheOtherNameBehind()
{
    Window w(shippedStorePath());
    w.search(QStringLiteral("annecy le vieux"));
    const int found = w.form.rstInfo.position();
    const QString told = w.form.Label7->text();
    QCOMPARE(told, QStringLiteral("ANNECY LE VIEUX → ANNECY (commune déléguée, 1er janvier 2017)"));
    w.next();
    QCOMPARE(w.form.rstInfo.position(), found + 1);
    QCOMPARE(w.form.Label7->text(), hint);
    QCOMPARE(w.form.Label7->geometry(), hintLine);
    QVERIFY(w.form.Label2->isVisible());
    w.previous();
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Annecy"));
    QCOMPARE(w.form.Label7->text(), told);
    QCOMPARE(hintShownWhole(w.form), QString());
    // A search by a current name never looks at the other names.
    w.search(QStringLiteral("annecy"));
    QCOMPARE(w.form.Label7->text(), hint);
    QCOMPARE(w.form.Label7->geometry(), hintLine);
}

// A refused pattern takes both hint lines too; the next key gives back the
// other name as it was shown.
void TestForm1OtherNames::refusalGivesTheOtherNameBack()
{
    Window w(shippedStorePath());
    w.search(QStringLiteral("cherbourg octeville"));
    const QString told = w.form.Label7->text();
    const QRect shownIn = w.form.Label7->geometry();
    w.search(QStringLiteral("[a"));
    QVERIFY(w.form.Label7->text().startsWith(QStringLiteral("Motif de recherche invalide")));
    QTest::keyClick(w.form.Text7, Qt::Key_A);
    QCOMPARE(w.form.Label7->text(), told);
    QCOMPARE(w.form.Label7->geometry(), shownIn);
    QVERIFY(w.form.Label7->wordWrap());
    QVERIFY(!w.form.Label2->isVisible());
    QCOMPARE(hintShownWhole(w.form), QString());
}

QTEST_MAIN(TestForm1OtherNames)
#include "test_form1_other_names.moc"
