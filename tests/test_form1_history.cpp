#include "CommuneStore.h"
#include "Form1Driver.h"
#include "TestPaths.h"
#include "app/HistoryList.h"

#include <QAccessible>
#include <QMenu>
#include <QtTest>

// A commune's history in the window: a former name's way told step by step
// in the hint (shortened there, whole for screen readers), and the list of
// the shown commune's changes since 1943, opened by Ctrl+H or the menu of
// its name.

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
    QCOMPARE(list->count(), lines);
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
    QCOMPARE(list->item(0)->text(), QStringLiteral("1er janvier 1965 · fusion · HAINNEVILLE (50226) → EQUEURDREVILLE "
                                                   "HAINNEVILLE (50173)"));
    // The other values' menu has no history.
    w.rightClick(w.form.Label10);
    QVERIFY(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    for (QAction *action : menu->actions())
        QVERIFY(action->text() != QStringLiteral("Histoire de la commune"));
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
}

QTEST_MAIN(TestForm1History)
#include "test_form1_history.moc"
