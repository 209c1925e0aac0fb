// Mouse events go through the window system layer, so that every click
// reaches whichever control lies under the pointer, as a real one does.
#define QTEST_QPA_MOUSE_HANDLING

#include "FileFingerprint.h"
#include "Form1Driver.h"
#include "TestPaths.h"
#include "about/frmAbout.h"
#include "app/Form1View.h"
#include "app/SuggestionList.h"
#include "departements/DepartementTable.h"
#include "geo/MaidenheadLocator.h"
#include "store/DatabaseError.h"

#include <QAccessible>
#include <QClipboard>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>
#include <random>

// A long, seeded run of random keys and clicks on the real main window,
// loaded from a copy of the shipped store. The test does not search again
// itself: after every action it holds the window to what must always be
// true of it, whatever was found. Nothing escapes a handler; the controls
// show what rendering the window's model gives; the model is that of the
// record the window stands on; a display takes the département of the
// commune it shows; the copy is the model's. At the end the data file must
// be as it was.

using form1test::Window;

namespace {

constexpr int actionCount = 3000;

// The texts of the controls render writes, as one list to compare.
QStringList rendered(const Form1Controls &c)
{
    QStringList texts{c.Label1->text(),
                      c.Label11->text(),
                      c.Label12->text(),
                      c.Label10->text(),
                      c.Label8->text(),
                      c.postcodesMore->text(),
                      c.Label10->toolTip(),
                      c.inseeCode->text(),
                      c.distanceLabel->text(),
                      c.Text9->text(),
                      c.Label5->text(),
                      c.Label20->text(),
                      c.Text6->text(),
                      c.Text8->text(),
                      c.Text1->text(),
                      c.cherche->backColor().name(),
                      c.Shape6->backColor().name()};
    for (const QLabel *letter : {c.Label14, c.Label15, c.Label16, c.Label17, c.Label18, c.Label19})
        texts << letter->text();
    texts << QString::number(c.CmdCarte->isEnabled())
          << QString::number(c.inseeCode->isVisibleTo(c.Label1->parentWidget()))
          << QString::number(c.distanceLabel->isVisibleTo(c.Label1->parentWidget()));
    const auto point = [](std::optional<QPoint> p) {
        return p ? QStringLiteral("%1,%2").arg(p->x()).arg(p->y()) : "-";
    };
    texts << point(c.Picture1->mark()) << point(c.Picture1->startMark());
    return texts;
}

QString accessibleName(QWidget *control)
{
    QAccessibleInterface *read = QAccessible::queryAccessibleInterface(control);
    return read ? read->text(QAccessible::Name) : QString();
}

class RandomUse
{
public:
    RandomUse(const QString &store, std::uint32_t seed) : m_window(store, Window::Clock::Stopped), m_random(seed) {}

    // Runs `count` actions; the first broken rule, with the last actions.
    QString run(int count)
    {
        for (int i = 0; i < count; ++i) {
            QString problem = act();
            if (problem.isEmpty())
                problem = check();
            if (!problem.isEmpty())
                return QStringLiteral("after %1 actions: %2\nthe last ones:\n  %3")
                    .arg(m_actions)
                    .arg(problem, QStringList(m_recent.begin(), m_recent.end()).join(QStringLiteral("\n  ")));
        }
        return {};
    }
    Form1 &form() { return m_window.form; }
    int searchesShown() const { return m_searchesShown; }

private:
    enum class Did { Other, Search, Step };

    std::uint32_t below(std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(m_random); }

    QString someText()
    {
        static const char *const texts[] = {"PARIS",
                                            "paris",
                                            "BREST",
                                            "SAINT*",
                                            "*",
                                            "L*",
                                            "13100",
                                            "75015",
                                            "29019",
                                            "JN18EU",
                                            "IN78RJ",
                                            "48.3 -4.55",
                                            "[AB",
                                            "",
                                            "CHERBOURG OCTEVILLE",
                                            "AIX EN PROVENCE",
                                            "NULLE PART",
                                            "MARSEILE",
                                            "ST MALO",
                                            "LYON 3E",
                                            "2A004",
                                            "97411",
                                            "91.5 3"};
        QString text = QString::fromUtf8(texts[below(std::size(texts))]);
        if (below(5) == 0 && !text.isEmpty())
            text.chop(1 + below(uint32_t(text.size()))); // a name being typed
        return text;
    }

    void describe(const QString &what)
    {
        ++m_actions;
        m_recent.push_back(what);
        if (m_recent.size() > 12)
            m_recent.pop_front();
    }

    // One random action; what escaped a handler, if anything did.
    QString act()
    {
        Form1 &f = form();
        const std::uint32_t roll = below(100);
        const int before = f.rstInfo.position();
        m_standBefore = f.state.search;
        m_fillBefore = f.Picture1->picture().fillColor();
        m_did = Did::Other;
        try {
            if (roll < 25) {
                const QString text = someText();
                describe("type " + text);
                QTest::mouseClick(f.Text7, Qt::LeftButton);
                form1test::typeText(f.Text7, text);
            } else if (roll < 45) {
                describe("search " + f.Text7->text());
                QTest::keyClick(f.Text7, Qt::Key_Return);
                m_did = Did::Search;
            } else if (roll < 60) {
                const bool forward = below(2) == 0;
                describe(forward ? ">>" : "<<");
                QTest::mouseClick(forward ? f.apres : f.avant, Qt::LeftButton);
                m_did = Did::Step;
            } else if (roll < 68) {
                describe("browser");
                QTest::mouseClick(below(2) ? f.Command1 : f.Command2, Qt::LeftButton);
            } else if (roll < 80) {
                QPoint at(int(below(uint32_t(f.Picture1->width()))), int(below(uint32_t(f.Picture1->height()))));
                if (below(2) == 0)
                    at = DepartementTable()[below(95)].seed();
                const bool ctrl = below(4) == 0;
                describe(QStringLiteral("map %1,%2%3").arg(at.x()).arg(at.y()).arg(ctrl ? " with Ctrl" : ""));
                QTest::mouseClick(f.Picture1, Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier, at);
                m_did = ctrl && f.rstInfo.position() != before ? Did::Search : Did::Other;
            } else if (roll < 85) {
                describe("F3");
                QTest::keyClick(f.Text7, Qt::Key_F3);
                m_did = f.rstInfo.position() != before ? Did::Search : Did::Other;
            } else if (roll < 89) {
                describe("Ctrl+D");
                QTest::keyClick(f.Text7, Qt::Key_D, Qt::ControlModifier);
            } else if (roll < 93) {
                describe("Ctrl+C");
                f.Text7->deselect();
                QTest::keyClick(f.Text7, Qt::Key_C, Qt::ControlModifier);
                if (QGuiApplication::clipboard()->text() != recordLine(f.shown))
                    return "Ctrl+C copied " + QGuiApplication::clipboard()->text();
            } else if (roll < 96) {
                describe("Down, Enter in a list");
                QTest::keyClick(f.Text7, Qt::Key_Down);
                QTest::keyClick(f.Text7, Qt::Key_Escape);
            } else {
                describe("online map, clock");
                QTest::mouseClick(f.CmdCarte, Qt::LeftButton);
                f.Timer1_Timer();
            }
        } catch (const DatabaseError &error) {
            return "a DatabaseError escaped: " + error.message();
        } catch (const std::exception &error) {
            return QStringLiteral("an exception escaped: %1").arg(QString::fromLocal8Bit(error.what()));
        }
        if (m_did == Did::Search && f.shown.row == f.rstInfo.position())
            ++m_searchesShown;
        return {};
    }

    // The rules that hold after every action.
    QString check()
    {
        Form1 &f = form();
        // The controls are what rendering the model gives.
        render(m_mirror, f.shown, f.state);
        if (const QStringList live = rendered(f), mirror = rendered(m_mirror); live != mirror) {
            for (qsizetype i = 0; i < live.size(); ++i)
                if (live[i] != mirror[i])
                    return QStringLiteral("control %1 shows %2, its model %3").arg(i).arg(live[i], mirror[i]);
        }
        // The model is the record's.
        const ShownCommune &shown = f.shown;
        if (f.rstInfo.hasCurrentRecord() && shown.row == f.rstInfo.position()
            && shown.storedName != f.rstInfo.fieldText(u"commune"))
            return QStringLiteral("the model shows %1, the record is %2")
                .arg(shown.storedName, f.rstInfo.fieldText(u"commune"));
        if (shown.latitude && shown.longitude) {
            const QString locator = maidenheadLocator(*shown.latitude, *shown.longitude);
            if (shown.locator != (locator.isEmpty() ? QStringLiteral("------") : locator))
                return "locator " + shown.locator;
        }
        // A step takes the département of the record it shows; a search
        // that skipped records too.
        const bool shownNow = f.rstInfo.hasCurrentRecord() && shown.row == f.rstInfo.position()
                              && f.Picture1->picture().fillColor() != m_fillBefore;
        const bool takesDepartement =
            shownNow
            && (m_did == Did::Step
                || (m_did == Did::Search && (f.rstInfo.position() > 0 || m_standBefore == SearchStand::Skipped)));
        if (takesDepartement && f.deptNumber.toText() != shown.mapNumber)
            return QStringLiteral("deptNumber %1 for a commune of %2").arg(f.deptNumber.toText(), shown.mapNumber);
        if (f.cherche->backColor() != searchButtonColor(f.state.search))
            return "cherche " + f.cherche->backColor().name();
        // What screen readers hear is the model's.
        if (accessibleName(f.Label13) != "Locator : " + form1test::locatorShown(f))
            return "the locator reads " + accessibleName(f.Label13);
        if (f.state.startingPoint && f.state.startingPoint != form1test::keptStartingPoint)
            return "the starting point is not the one kept";
        return {};
    }

    Window m_window;
    // A window of its own, never shown, whose controls render writes from
    // the live window's model.
    Form1 m_mirror;
    std::mt19937 m_random;
    Did m_did = Did::Other;
    SearchStand m_standBefore = SearchStand::AtRest;
    QRgb m_fillBefore = 0;
    int m_actions = 0;
    int m_searchesShown = 0;
    std::deque<QString> m_recent;
};

} // namespace

class TestForm1RandomUse : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        QVERIFY(m_dir.isValid());
        m_store = m_dir.filePath(QStringLiteral("insee.sqlite"));
        QVERIFY(QFile::copy(shippedStorePath(), m_store));
    }
    void init() { QLocale::setDefault(form1test::french); }
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        form1test::keptStartingPoint.reset();
    }

    void randomUse_data()
    {
        QTest::addColumn<std::uint32_t>("seed");
        QTest::newRow("first run") << 20251208u;
        QTest::newRow("second run") << 4242u;
    }
    void randomUse()
    {
        QFETCH(std::uint32_t, seed);
        const QByteArray before = fileFingerprint(m_store);
        {
            RandomUse use(m_store, seed);
            const QString problem = use.run(actionCount);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            QVERIFY(use.searchesShown() > 100);
        }
        QCOMPARE(fileFingerprint(m_store), before);
    }

    // Esc closes the database and asks to quit; the test's stand-in for
    // quitting keeps the window up: whatever the user does next must neither
    // crash nor throw.
    void escapeThenMoreUse()
    {
        RandomUse use(m_store, 7u);
        QString problem = use.run(200);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QTest::keyClick(use.form().Text7, Qt::Key_Escape);
        QTest::keyClick(use.form().Text7, Qt::Key_Escape); // a list may take the first
        QVERIFY(!use.form().data.isOpen());
        problem = use.run(300);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

private:
    QTemporaryDir m_dir;
    QString m_store;
};

QTEST_MAIN(TestForm1RandomUse)
#include "test_form1_random_use.moc"
