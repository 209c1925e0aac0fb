#include "Form1Driver.h"
#include "TestPaths.h"
#include "app/SuggestionIndexBuild.h"
#include "app/SuggestionList.h"
#include "store/DatabaseFile.h"
#include "store/TableData.h"

#include <QtTest>

using namespace form1test;

// Names proposed while typing and after a search that found nothing, on the
// shipped table.
class TestForm1Suggestions : public QObject
{
    Q_OBJECT
private slots:
    void whileTypingDownAndEnterTakeOne()
    {
        Window w(shippedStorePath(), Window::Clock::Stopped);
        w.search(QStringLiteral("paris")); // the whole table is read
        w.type(QStringLiteral("bord"));
        // The list opens once the index, made on another thread, is there.
        QTRY_VERIFY(w.form.suggestionList && w.form.suggestionList->isVisible());
        const SuggestionList *list = w.form.suggestionList;
        QCOMPARE(list->item(0)->text(), QStringLiteral("BORDEAUX — GIRONDE — 33000"));
        QCOMPARE(list->currentRow(), -1);
        QTest::keyClick(w.form.Text7, Qt::Key_Down);
        QTest::keyClick(w.form.Text7, Qt::Key_Down);
        QCOMPARE(list->currentRow(), 1);
        const int second = list->suggestions()[1].row;
        QTest::keyClick(w.form.Text7, Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(w.form.rstInfo.position(), second);
        QCOMPARE(list->suggestions()[1].name, QStringLiteral("BORDERES SUR L ECHEZ"));
        QCOMPARE(w.form.Label1->text(), QStringLiteral("Bordères-sur-l'Échez"));
    }

    void enterWithNothingHighlightedSearchesAsTyped()
    {
        Window w(shippedStorePath(), Window::Clock::Stopped);
        w.search(QStringLiteral("paris"));
        w.search(QStringLiteral("lyo*"));
        QVERIFY(!w.form.suggestionList->isVisible());
        QCOMPARE(w.form.Label1->text(), QStringLiteral("Lyons-la-Forêt"));
    }

    void escClosesTheListOnly()
    {
        Window w(shippedStorePath(), Window::Clock::Stopped);
        w.search(QStringLiteral("paris"));
        w.type(QStringLiteral("ly"));
        QTRY_VERIFY(w.form.suggestionList->isVisible());
        QTest::keyClick(w.form.Text7, Qt::Key_Escape);
        QVERIFY(!w.form.suggestionList->isVisible());
        QCOMPARE(w.quits, 0);
        QTest::keyClick(w.form.Text7, Qt::Key_Escape);
        QCOMPARE(w.quits, 1);
    }

    void noMatchProposesAndF3TakesTheFirst()
    {
        Window w(shippedStorePath(), Window::Clock::Stopped);
        w.search(QStringLiteral("Marseile"));
        QVERIFY2(
            w.form.Label7->text().startsWith(u"Aucune commune ne répond à « MARSEILE ». Vouliez-vous dire MARSEILLE"),
            qPrintable(w.form.Label7->text()));
        QCOMPARE(w.form.cherche->backColor(), red);
        QTest::keyClick(w.form.Text7, Qt::Key_F3);
        QCOMPARE(w.form.Label1->text(), QStringLiteral("Marseille"));
        QCOMPARE(w.form.Label10->text(), QStringLiteral("13001"));
    }

    void countFollowsTheDisplay()
    {
        Window w(shippedStorePath(), Window::Clock::Stopped);
        w.search(QStringLiteral("ste marie"));
        QVERIFY(w.form.Label7->text().contains(u"1 sur "));
        w.next();
        QVERIFY2(!w.form.Label7->text().contains(u" sur "), qPrintable(w.form.Label7->text()));
        QTest::keyClick(w.form.Text7, Qt::Key_F3);
        QVERIFY(w.form.Label7->text().contains(u"2 sur "));
        // A right click opens the list over the text as it is.
        QTest::mousePress(w.form.Text7, Qt::RightButton);
        QCOMPARE(w.form.Text7->text(), QStringLiteral("STE MARIE"));
    }

    // The index is held to the memory its table was allowed: a table with
    // no room left gets no index, and no thread is started for it.
    void indexStaysWithinTheTableLimit()
    {
        const std::unique_ptr<Database> db = openDatabase(shippedStorePath());
        const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
        auto full = std::make_shared<TableData>(*communes.table());
        full->memoryLimit = full->memoryBytes();
        SuggestionIndexBuild refused;
        refused.start(Recordset(full), {});
        QVERIFY(!refused.isBuilding());
        QVERIFY(!refused.wait());

        SuggestionIndexBuild made;
        made.start(communes, SuggestionIndex::otherNamesIn(db.get()));
        QVERIFY(made.wait());
        QCOMPARE(made.index()->whileTyping(u"bord").front().name, QStringLiteral("BORDEAUX"));
    }
};

QTEST_MAIN(TestForm1Suggestions)
#include "test_form1_suggestions.moc"
