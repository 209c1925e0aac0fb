#include "Form1Driver.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "app/HistoryList.h"

#include <QAccessible>
#include <QMenu>
#include <QtTest>

// A commune's history in the window: a former name's way told step by step
// in the hint (shortened there, whole for screen readers), and the list of
// the shown commune's changes since 1943, opened by Ctrl+H or the menu of
// its name, which tells what the commune was on a date typed in it.

using namespace form1test;

namespace {

QStringList linesOf(const QListWidget *list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

HistoryList *openedHistory(Window &w)
{
    auto *list = w.form.findChild<HistoryList *>(QStringLiteral("historyList"));
    return list && QTest::qWaitFor([list] { return list->isVisible(); }) ? list : nullptr;
}

} // namespace

class TestForm1History : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        if (!QFileInfo::exists(shippedStorePath()))
            QSKIP("the shipped table is absent");
    }

    void aLongWayIsShortenedAndReadWhole();
    void historyByTheKey_data();
    void historyByTheKey();
    void historyFromTheMenuOfTheName();
    void dateTypedInTheList_data();
    void dateTypedInTheList();
    void aFileWithoutHistorySaysSo();
};

void TestForm1History::aLongWayIsShortenedAndReadWhole()
{
    Window w(shippedStorePath());
    w.search(QStringLiteral("Octeville"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Cherbourg-en-Cotentin"));
    QCOMPARE(w.form.Label7->text(), QStringLiteral("OCTEVILLE → … → CHERBOURG EN COTENTIN (fusion, 2000 ; commune "
                                                   "nouvelle, 2016)"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.form.Label7)->text(QAccessible::Description),
             QStringLiteral("OCTEVILLE → CHERBOURG OCTEVILLE (fusion, 28 février 2000) → CHERBOURG EN COTENTIN "
                            "(commune nouvelle, 1er janvier 2016)"));
    // A way of one step fits: the hint tells it whole, and the same.
    w.search(QStringLiteral("Bay"));
    QTest::keyClick(w.form.Text7, Qt::Key_F3);
    QCOMPARE(w.form.Label7->text(),
             QStringLiteral("BAY → BLANCHEFOSSE ET BAY (commune associée, 29 décembre 1973) · 2 sur 2 · F3 suivante"));
}

void TestForm1History::historyByTheKey_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("lines");
    // clang-format off
    QTest::newRow("the communes it absorbed") << "Cherbourg-en-Cotentin" << "28 février 2000 · fusion · OCTEVILLE (50383) → CHERBOURG OCTEVILLE (50129)" << 9;
    QTest::newRow("a renaming") << "Châlons-en-Champagne" << "4 janvier 1998 · changement de nom · CHALONS SUR MARNE (51108) → CHALONS EN CHAMPAGNE (51108)" << 1;
    QTest::newRow("the commune it gave back") << "Verpel" << "1er janvier 1985 · rétablissement · VERPEL (08470) → IMECOURT (08233)" << 2;
    QTest::newRow("Corse before 1976") << "Afa" << "1er janvier 1976 · changement de département · AFA (20001, Corse) → AFA (2A001)" << 1;
    QTest::newRow("Seine-et-Oise before 1968") << "Juvisy-sur-Orge" << "1er janvier 1968 · changement de département · JUVISY SUR ORGE (78326, Seine-et-Oise) → JUVISY SUR ORGE (91326)" << 1;
    QTest::newRow("no change") << "Nantes" << "Nantes : aucun changement depuis 1943." << 1;
    // clang-format on
}

void TestForm1History::historyByTheKey()
{
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QFETCH(int, lines);
    Window w(shippedStorePath());
    w.search(typed);
    QTest::keyClick(w.form.Text7, Qt::Key_H, Qt::ControlModifier);
    HistoryList *list = openedHistory(w);
    QVERIFY(list);
    QVERIFY2(linesOf(list).contains(line), qPrintable(linesOf(list).join(QLatin1Char('\n'))));
    QCOMPARE(list->count(), lines + 1); // under the line that asks for a date
    QAccessibleInterface *read = QAccessible::queryAccessibleInterface(list);
    QCOMPARE(read->text(QAccessible::Name), QStringLiteral("Histoire de la commune"));
    QVERIFY(read->text(QAccessible::Description).contains(w.form.Label1->text()));
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(!list->isVisible());
}

void TestForm1History::historyFromTheMenuOfTheName()
{
    Window w(shippedStorePath());
    w.search(QStringLiteral("Cherbourg-en-Cotentin"));
    w.rightClick(w.form.Label1);
    auto *menu = w.form.findChild<QMenu *>(QStringLiteral("copyMenu"));
    QVERIFY(menu && QTest::qWaitFor([menu] { return menu->isVisible(); }));
    QAction *history = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text() == QStringLiteral("Histoire de la commune"))
            history = action;
    }
    QVERIFY(history);
    QCOMPARE(history->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    menu->hide();
    history->trigger();
    HistoryList *list = openedHistory(w);
    QVERIFY(list);
    QCOMPARE(list->item(1)->text(), QStringLiteral("1er janvier 1965 · fusion · HAINNEVILLE (50226) → EQUEURDREVILLE "
                                                   "HAINNEVILLE (50173)"));
    // The other values' menu has no history.
    w.rightClick(w.form.Label10);
    QVERIFY(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    for (QAction *action : menu->actions())
        QVERIFY(action->text() != QStringLiteral("Histoire de la commune"));
}

void TestForm1History::dateTypedInTheList_data()
{
    QTest::addColumn<QString>("commune");
    QTest::addColumn<QString>("keys");      // « < » for Backspace
    QTest::addColumn<QStringList>("lines"); // that tell the date, first in the list
    QTest::addColumn<QString>("next");      // the line under them, the first event
    const QString forms = QStringLiteral("AAAA, AAAA-MM ou AAAA-MM-JJ");
    // clang-format off
    const QString juvisy = QStringLiteral("1er janvier 1968 · changement de département · JUVISY SUR ORGE (78326, Seine-et-Oise) → JUVISY SUR ORGE (91326)");
    const QString cherbourg = QStringLiteral("1er janvier 1965 · fusion · HAINNEVILLE (50226) → EQUEURDREVILLE HAINNEVILLE (50173)");
    QTest::newRow("nothing typed") << "Juvisy-sur-Orge" << "" << QStringList{"Tapez une date (" + forms + ") pour voir la commune à ce jour"} << juvisy;
    QTest::newRow("a year") << "Juvisy-sur-Orge" << "1967" << QStringList{"En 1967 : Juvisy-sur-Orge, 78326, Seine-et-Oise"} << juvisy;
    QTest::newRow("the day of the change") << "Juvisy-sur-Orge" << "1968-01-01" << QStringList{"Le 1er janvier 1968 : Juvisy-sur-Orge, 91326, Essonne"} << juvisy;
    QTest::newRow("the day before") << "Juvisy-sur-Orge" << "1967-12-31" << QStringList{"Le 31 décembre 1967 : Juvisy-sur-Orge, 78326, Seine-et-Oise"} << juvisy;
    QTest::newRow("erased to a part") << "Juvisy-sur-Orge" << "1968-01<<" << QStringList{"Date : 1968-… (" + forms + ")"} << juvisy;
    QTest::newRow("erased back to a year") << "Juvisy-sur-Orge" << "19677<" << QStringList{"En 1967 : Juvisy-sur-Orge, 78326, Seine-et-Oise"} << juvisy;
    QTest::newRow("erased whole") << "Juvisy-sur-Orge" << "19<<<" << QStringList{"Tapez une date (" + forms + ") pour voir la commune à ce jour"} << juvisy;
    QTest::newRow("no such date") << "Juvisy-sur-Orge" << "1967-13" << QStringList{"« 1967-13 » n'est pas une date : " + forms + " ; Retour arrière efface"} << juvisy;
    QTest::newRow("no longer than a day") << "Juvisy-sur-Orge" << "1968-01-0155" << QStringList{"Le 1er janvier 1968 : Juvisy-sur-Orge, 91326, Essonne"} << juvisy;
    QTest::newRow("made of six communes") << "Cherbourg-en-Cotentin" << "1990" << QStringList{"En 1990 : 6 communes",
        "Cherbourg, 50129, Manche", "Équeurdreville-Hainneville, 50173, Manche", "La Glacerie, 50203, Manche",
        "Octeville, 50383, Manche", "Querqueville, 50416, Manche", "Tourlaville, 50602, Manche"} << cherbourg;
    QTest::newRow("fewer lines after a fusion") << "Cherbourg-en-Cotentin" << "1990<<<<2005" << QStringList{"En 2005 : 5 communes",
        "Cherbourg-Octeville, 50129, Manche", "Équeurdreville-Hainneville, 50173, Manche", "La Glacerie, 50203, Manche",
        "Querqueville, 50416, Manche", "Tourlaville, 50602, Manche"} << cherbourg;
    QTest::newRow("unchanged since 1943") << "Nantes" << "1960" << QStringList{"En 1960 : Nantes, 44109, Loire-Atlantique"} << "Nantes : aucun changement depuis 1943.";
    // clang-format on
}

// Typed in the list opened by Ctrl+H, read back from its lines; the first
// line, where the screen reader is, reads the whole answer.
void TestForm1History::dateTypedInTheList()
{
    QFETCH(QString, commune);
    QFETCH(QString, keys);
    QFETCH(QStringList, lines);
    QFETCH(QString, next);
    Window w(shippedStorePath());
    w.search(commune);
    QTest::keyClick(w.form.Text7, Qt::Key_H, Qt::ControlModifier);
    HistoryList *list = openedHistory(w);
    QVERIFY(list);
    for (const QChar key : keys) {
        if (key == u'<')
            QTest::keyClick(list, Qt::Key_Backspace);
        else
            QTest::keyClick(list, char(key.unicode()));
    }
    QCOMPARE(linesOf(list).mid(0, lines.size() + 1), lines + QStringList{next});
    QCOMPARE(list->currentRow(), 0);
    QAccessibleInterface *first = QAccessible::queryAccessibleInterface(list)->child(0);
    QVERIFY(first);
    QCOMPARE(first->text(QAccessible::Name), lines.join(QStringLiteral(" ; ")));
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(!list->isVisible());
}

void TestForm1History::aFileWithoutHistorySaysSo()
{
    QTemporaryDir dir;
    const QString store = writeNumberedStore(dir, {commune("BREST", -4.48628, 48.39003, "29200", "FINISTERE")});
    Window w(store);
    w.search(QStringLiteral("brest"));
    QTest::keyClick(w.form.Text7, Qt::Key_H, Qt::ControlModifier);
    HistoryList *list = openedHistory(w);
    QVERIFY(list);
    QCOMPARE(linesOf(list), QStringList{QStringLiteral("Ce fichier de données ne dit pas l'histoire des communes.")});
    // No date is asked of it: what is typed changes nothing.
    QTest::keyClicks(list, QStringLiteral("1967"));
    QCOMPARE(linesOf(list), QStringList{QStringLiteral("Ce fichier de données ne dit pas l'histoire des communes.")});
}

QTEST_MAIN(TestForm1History)
#include "test_form1_history.moc"
