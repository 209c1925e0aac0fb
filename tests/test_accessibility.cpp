#include "Form1Driver.h"
#include "TestPaths.h"
#include "about/frmAbout.h"
#include "app/Form1.h"
#include "app/MatchList.h"
#include "departements/DepartementTable.h"
#include "widgets/MapWidget.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// What a screen reader reads of both windows, asked in process through
// QAccessible as an assistive technology bridge asks it.

using namespace form1test;

namespace {

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QObject *object)
{
    QAccessibleInterface *iface = accessible(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

// The accessible children of a window that a screen reader presents: shown,
// not marked invisible.
QList<QAccessibleInterface *> presented(QWidget *window)
{
    QList<QAccessibleInterface *> found;
    QAccessibleInterface *root = accessible(window);
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface *child = root->child(i);
        if (child && !child->state().invisible)
            found << child;
    }
    return found;
}

QString objectNameOf(QAccessibleInterface *iface)
{
    return iface->object() ? iface->object()->objectName() : QString();
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(french); }
    void controlsHaveFrenchNamesAndRoles_data();
    void controlsHaveFrenchNamesAndRoles();
    void everyPresentedControlIsNamedOnce();
    void locatorReadsAsOneText();
    void mapNamesTheDepartementClicked();
    void mapStepsTheDepartementsFromTheKeyboard();
    void mapIsInTheTabOrderAndShowsTheFocus();
    void aboutWindowIsNamed();
    void matchListIsReadWithItsItems();
};

void TestAccessibility::controlsHaveFrenchNamesAndRoles_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    const int button = QAccessible::Button;
    // clang-format off
    QTest::newRow("CmdMinimise") << "CmdMinimise" << QString::fromUtf8("Réduire") << button;
    QTest::newRow("CmdQuitte") << "CmdQuitte" << "Quitter" << button;
    QTest::newRow("avant") << "avant" << QString::fromUtf8("Commune précédente") << button;
    QTest::newRow("apres") << "apres" << "Commune suivante" << button;
    QTest::newRow("Command1") << "Command1" << QString::fromUtf8("Département précédent") << button;
    QTest::newRow("Command2") << "Command2" << QString::fromUtf8("Département suivant") << button;
    QTest::newRow("cherche") << "cherche" << "Chercher" << button;
    QTest::newRow("CmdCarte") << "CmdCarte" << "Ouvrir la carte en ligne" << button;
    QTest::newRow("Apropos") << "Apropos" << QString::fromUtf8("À propos") << button;
    QTest::newRow("Text7") << "Text7" << QString::fromUtf8("Commune à chercher") << int(QAccessible::EditableText);
    QTest::newRow("Picture1") << "Picture1" << QString::fromUtf8("Carte des départements")
                              << int(QAccessible::Graphic);
    // clang-format on
}

void TestAccessibility::controlsHaveFrenchNamesAndRoles()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    Window w(shippedStorePath());
    auto *widget = w.form.findChild<QWidget *>(control);
    QVERIFY(widget);
    QAccessibleInterface *iface = accessible(widget);
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(int(iface->role()), role);
    QVERIFY2(!iface->text(QAccessible::Description).isEmpty(), qPrintable(control));
    QVERIFY(!iface->state().invisible);
}

void TestAccessibility::everyPresentedControlIsNamedOnce()
{
    Window w(shippedStorePath());
    QStringList names;
    for (QAccessibleInterface *child : presented(&w.form)) {
        const QString name = child->text(QAccessible::Name).trimmed();
        // A label that shows nothing yet (Label5 before the first
        // département) has nothing to say.
        auto *label = qobject_cast<QLabel *>(child->object());
        if (label && label->text().isEmpty())
            continue;
        QVERIFY2(!name.isEmpty(), qPrintable(objectNameOf(child) + " has no name"));
        // Two controls read the same only if one of them is a plain text.
        if (child->role() != QAccessible::StaticText) {
            QVERIFY2(!names.contains(name), qPrintable(name + " twice"));
            names << name;
        }
    }
    // The six letters and the frames are not among them.
    for (QAccessibleInterface *child : presented(&w.form)) {
        const QString object = objectNameOf(child);
        QVERIFY2(
            !QStringList({"Label14", "Label15", "Label16", "Label17", "Label18", "Label19", "Shape2"}).contains(object),
            qPrintable(object));
    }
}

void TestAccessibility::locatorReadsAsOneText()
{
    Window w(shippedStorePath());
    w.search(QStringLiteral("PARIS"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Paris"));
    const QString letters = locatorOfShownPosition(w.form);
    QCOMPARE(letters.size(), 6);
    QCOMPARE(locatorShown(w.form), letters);

    QAccessibleInterface *locator = accessible(w.form.Label13);
    QCOMPARE(locator->role(), QAccessible::StaticText);
    QCOMPARE(locator->text(QAccessible::Value), letters);
    QCOMPARE(locator->text(QAccessible::Name), QStringLiteral("Locator : ") + letters);
    for (QLabel *letter :
         {w.form.Label14, w.form.Label15, w.form.Label16, w.form.Label17, w.form.Label18, w.form.Label19}) {
        QVERIFY(letter->isVisible());
        QVERIFY2(accessible(letter)->state().invisible, qPrintable(letter->objectName()));
    }

    // The text follows the record shown.
    w.search(QStringLiteral("BREST"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Brest"));
    QCOMPARE(locator->text(QAccessible::Value), locatorOfShownPosition(w.form));
    QVERIFY(locator->text(QAccessible::Value) != letters);
}

void TestAccessibility::mapNamesTheDepartementClicked()
{
    Window w(shippedStorePath());
    QAccessibleInterface *map = accessible(w.form.Picture1);
    QCOMPARE(map->text(QAccessible::Value), QString());
    QCOMPARE(map->text(QAccessible::Description), QString::fromUtf8("Aucun département affiché"));

    const DepartementRow &ain = DepartementTable()[0];
    QTest::mouseClick(w.form.Picture1, Qt::LeftButton, {}, ain.seed());
    QCOMPARE(w.form.Label5->text(), QStringLiteral("1"));
    QCOMPARE(map->text(QAccessible::Value), ain.displayName() + QStringLiteral(" (1)"));
    QVERIFY(map->text(QAccessible::Description).contains(ain.displayName()));

    // The open sea names nothing.
    QTest::mouseClick(w.form.Picture1, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(map->text(QAccessible::Value), QString());

    // A search names the commune's département, and the commune marked.
    w.search(QStringLiteral("PARIS"));
    QCOMPARE(map->text(QAccessible::Value), QStringLiteral("PARIS (75)"));
    QVERIFY(map->text(QAccessible::Description).endsWith(QString::fromUtf8(" ; commune marquée : Paris")));
    QTest::mouseClick(w.form.Picture1, Qt::LeftButton, {}, ain.seed());
    QVERIFY(!map->text(QAccessible::Description).contains(QString::fromUtf8("marquée")));
}

void TestAccessibility::mapStepsTheDepartementsFromTheKeyboard()
{
    Window w(shippedStorePath());
    QAccessibleInterface *map = accessible(w.form.Picture1);
    const auto &table = DepartementTable();
    // At start the browser stands before 1: the next one is the Ain.
    QTest::keyClick(w.form.Picture1, Qt::Key_Right);
    QCOMPARE(w.form.Label5->text(), QStringLiteral("1"));
    QCOMPARE(map->text(QAccessible::Value), table[0].displayName() + QStringLiteral(" (1)"));
    QCOMPARE(mapColor(w.form, table[0].seed()), fillColor(w.form));
    QTest::keyClick(w.form.Picture1, Qt::Key_Plus);
    QCOMPARE(w.form.Label5->text(), QStringLiteral("2"));
    QTest::keyClick(w.form.Picture1, Qt::Key_Up);
    QCOMPARE(w.form.Label5->text(), QStringLiteral("3"));
    QTest::keyClick(w.form.Picture1, Qt::Key_Minus);
    QTest::keyClick(w.form.Picture1, Qt::Key_Left);
    QCOMPARE(w.form.Label5->text(), QStringLiteral("1"));
    // Down steps back too, and wraps below 1 as Command1 does.
    QTest::keyClick(w.form.Picture1, Qt::Key_Down);
    QCOMPARE(w.form.Label5->text(), QStringLiteral("97"));
    QCOMPARE(w.form.Label20->text(), QStringLiteral("D.O.M"));
    // Other keys do nothing here; Enter still searches.
    QTest::keyClick(w.form.Picture1, Qt::Key_A);
    QCOMPARE(w.form.Label5->text(), QStringLiteral("97"));
    QCOMPARE(w.messages, QStringList());
    QCOMPARE(w.quits, 0);
}

void TestAccessibility::mapIsInTheTabOrderAndShowsTheFocus()
{
    Window w(shippedStorePath());
    QVERIFY(w.form.Picture1->focusPolicy() & Qt::TabFocus);
    // A click on the map leaves the focus in the search box.
    QVERIFY(!(w.form.Picture1->focusPolicy() & Qt::ClickFocus));
    QWidget *next = w.form.apres->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    QCOMPARE(next, w.form.Picture1);

    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    w.form.Text7->setFocus(Qt::TabFocusReason);
    const QImage unfocused = w.form.Picture1->grab().toImage();
    w.form.Picture1->setFocus(Qt::TabFocusReason);
    QVERIFY(w.form.Picture1->hasFocus());
    QVERIFY(accessible(w.form.Picture1)->state().focused);
    const QImage focused = w.form.Picture1->grab().toImage();
    QVERIFY(focused != unfocused);
    // The mark is drawn at the edge, over the sea; the picture itself, which
    // fills and pixel reads use, is unchanged.
    QVERIFY(focused.pixel(1, 150) != unfocused.pixel(1, 150));
    QCOMPARE(focused.pixel(150, 150), unfocused.pixel(150, 150));
    QCOMPARE(w.form.Picture1->picture().image(), w.form.Picture1->picture().stored());
}

void TestAccessibility::aboutWindowIsNamed()
{
    Window w(shippedStorePath());
    QTest::mouseClick(w.form.Apropos, Qt::LeftButton);
    auto *about = w.form.findChild<frmAbout *>();
    QVERIFY(about);
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QCOMPARE(accessible(about)->text(QAccessible::Name), QString::fromUtf8("À propos"));
    QCOMPARE(nameOf(about->findChild<QPushButton *>("cmdOK")), QStringLiteral("OK"));
    QCOMPARE(nameOf(about->findChild<QLabel *>("Label1")), QStringLiteral("Version 4.01"));
    QCOMPARE(nameOf(about->findChild<QLabel *>("picIcon")), QString::fromUtf8("Icône de Topovil"));
    QStringList presentedNames;
    for (QAccessibleInterface *child : presented(about)) {
        QVERIFY2(!child->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(objectNameOf(child)));
        presentedNames << objectNameOf(child);
    }
    // The separator, the frame and the empty labels are passed over.
    for (const char *decoration : {"Line1_0", "Line1_1", "Shape2", "lblDisclaimer", "Label7", "Label8"})
        QVERIFY2(!presentedNames.contains(QLatin1String(decoration)), decoration);
    QVERIFY(presentedNames.contains(QStringLiteral("Lblwebln")));
    about->close();
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"

// A screen reader finds the application's windows, and through them the
// list of matches and each of its lines; popups it is never shown.
void TestAccessibility::matchListIsReadWithItsItems()
{
    Window w(shippedStorePath());
    w.search(QStringLiteral("ste marie"));
    QTest::keyClick(w.form.Text7, Qt::Key_Down);
    QVERIFY(w.form.matchList && w.form.matchList->isVisible());
    QTest::keyClick(w.form.matchList, Qt::Key_Down);
    QAccessibleInterface *application = accessible(qApp);
    QAccessibleInterface *list = nullptr;
    for (int i = 0; i < application->childCount(); ++i)
        if (application->child(i)->object() == w.form.matchList)
            list = application->child(i);
    QVERIFY2(list, "the open list is not among the application's windows");
    QCOMPARE(int(list->role()), int(QAccessible::List));
    QCOMPARE(list->text(QAccessible::Name), QString::fromUtf8("Communes trouvées"));
    QCOMPARE(list->childCount(), w.form.matchList->count());
    for (int i = 0; i < list->childCount(); ++i) {
        QCOMPARE(int(list->child(i)->role()), int(QAccessible::ListItem));
        QCOMPARE(list->child(i)->text(QAccessible::Name), w.form.matchList->item(i)->text());
        QCOMPARE(bool(list->child(i)->state().focused), i == w.form.matchList->currentRow());
    }
    // Closed, it lists no line that a reader would take for shown.
    QTest::keyClick(w.form.matchList, Qt::Key_Escape);
    QTRY_COMPARE(list->childCount(), 0);
}
