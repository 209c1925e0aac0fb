// Mouse events go through the window system layer, so that a press reaches
// whichever control lies under the pointer, as a real one does.
#define QTEST_QPA_MOUSE_HANDLING

#include "Form1Driver.h"
#include "TestStore.h"
#include "about/frmAbout.h"
#include "app/Form1.h"
#include "store/Database.h"
#include "widgets/GraphicalButton.h"
#include "widgets/ShapeWidget.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace form1test;

class TestForm1Chrome : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowIsCentredAtStart();
    void focusStartsInTheSearchBox();

    void pressesOnTheWindow_data();
    void pressesOnTheWindow();
    void dragMakesTopmostBeforeMoving();

    void addressesOpenThroughTheWindowsPlatform();
    void aboutWindowIsCreatedOnFirstUse();
    void aboutWindowIsReused();
    void aboutWindowIsNewAfterOk();
    void minimiseHidesTheAboutWindow();
    void minimiseWithoutAboutWindow();

    void quitButtonKeepsTheDatabaseOpen();
    void escapeClosesTheDatabaseThenQuits_data();
    void escapeClosesTheDatabaseThenQuits();
    void systemCloseActsAsEscape();
    void otherKeysReachTheControl();

    void clockIsHiddenUntilTheFirstTick();
    void clockTick_data();
    void clockTick();
    void clockRunsOnItsOwn();

private:
    QTemporaryDir m_dir;
    QString m_store;
    QLocale m_locale;
};

void TestForm1Chrome::initTestCase()
{
    m_store = m_dir.filePath(QStringLiteral("communes.sqlite"));
    QVERIFY(writeCommuneStore(m_store, {commune("L ABERGEMENT CLEMENCIAT", 4.92582, 46.15359, "01400", "AIN"),
                                        commune("PARIS", 2.3428, 48.85661, "75001", "PARIS")}));
}

void TestForm1Chrome::init()
{
    m_locale = QLocale();
}

void TestForm1Chrome::cleanup()
{
    QLocale::setDefault(m_locale);
}

// ---- start ------------------------------------------------------------------

void TestForm1Chrome::windowIsCentredAtStart()
{
    Window w(m_store);
    Form1 *const form = &w.form;
    QCOMPARE(form->geometry().center(), form->screen()->availableGeometry().center());
    QCOMPARE(form->size(), QSize(545, 417));
}

void TestForm1Chrome::focusStartsInTheSearchBox()
{
    Window w(m_store);
    Form1 *const form = &w.form;
    QVERIFY(QTest::qWaitForWindowActive(form));
    // The box, its prompt selected, so that the first key replaces it.
    QCOMPARE(QApplication::focusWidget(), form->Text7);
    QCOMPARE(form->Text7->selectedText(), form->Text7->text());

    // Enter at once searches the box's first text, which names no commune.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(form->Text7->text(), QStringLiteral("VOTRE CHOIX ?"));
    QCOMPARE(form->cherche->backColor(), QColor(255, 0, 0));
    QCOMPARE(form->Label1->text(), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
    QVERIFY(w.calls.isEmpty());
}

// ---- dragging ---------------------------------------------------------------

void TestForm1Chrome::pressesOnTheWindow_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("drags");

    const auto left = Qt::LeftButton;
    // clang-format off
    QTest::newRow("background, top") << QPoint(250, 30) << left << true;
    QTest::newRow("background, left") << QPoint(10, 200) << left << true;
    QTest::newRow("Shape2's outline") << QPoint(32, 300) << left << true;
    QTest::newRow("Shape6") << QPoint(48, 280) << left << true;
    QTest::newRow("hidden Text9") << QPoint(30, 375) << left << true;
    QTest::newRow("hidden Text6") << QPoint(100, 375) << left << true;
    QTest::newRow("background, right") << QPoint(250, 30) << Qt::RightButton << false;
    QTest::newRow("background, middle") << QPoint(250, 30) << Qt::MiddleButton << false;
    QTest::newRow("Shape6, right") << QPoint(48, 280) << Qt::RightButton << false;
    QTest::newRow("button Command2") << QPoint(424, 390) << left << false;
    QTest::newRow("button Apropos") << QPoint(60, 32) << left << false;
    QTest::newRow("text box Text7") << QPoint(140, 280) << left << false;
    QTest::newRow("label Label7") << QPoint(130, 335) << left << false;
    QTest::newRow("label Label1") << QPoint(130, 85) << left << false;
    QTest::newRow("label Label20") << QPoint(300, 375) << left << false;
    QTest::newRow("map") << QPoint(300, 200) << left << false;
    QTest::newRow("map, on Line1") << QPoint(256 + 70, 64 + 40) << left << false;
    // clang-format on
}

void TestForm1Chrome::pressesOnTheWindow()
{
    QFETCH(QPoint, point);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, drags);

    Window w(m_store);
    Form1 *const form = &w.form;
    const QPointer<QWidget> target = form->childAt(point);
    QTest::mouseClick(form, button, {}, point);
    const QStringList expected = drags ? QStringList{"topmost", "move"} : QStringList{};
    QCOMPARE(w.calls, expected);
    // A press that drags does nothing else: no control took it.
    if (drags)
        QVERIFY(!target || target->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(form->aboutWindow.isNull() == (point != QPoint(60, 32)));
}

void TestForm1Chrome::dragMakesTopmostBeforeMoving()
{
    // A second drag asks again; the window stays as it is otherwise.
    Window w(m_store);
    Form1 *const form = &w.form;
    const QPoint before = form->pos();
    QTest::mouseClick(form, Qt::LeftButton, {}, QPoint(250, 30));
    QTest::mouseClick(form, Qt::LeftButton, {}, QPoint(10, 200));
    QCOMPARE(w.calls, (QStringList{"topmost", "move", "topmost", "move"}));
    QCOMPARE(form->pos(), before);
    QCOMPARE(form->size(), QSize(545, 417));
}

// ---- web addresses ------------------------------------------------------

void TestForm1Chrome::addressesOpenThroughTheWindowsPlatform()
{
    // The online map button and the About window's link both open through
    // the main window's platform; nothing global is replaced, so windows
    // built on their own keep the system's opener.
    Window w(m_store);
    Form1 *const form = &w.form;
    QTest::mouseClick(form->CmdCarte, Qt::LeftButton);
    QCOMPARE(w.calls.size(), 1);
    QVERIFY(w.calls.at(0).startsWith(QStringLiteral("open http://www.viamichelin.fr/")));

    QTest::mouseClick(form->Apropos, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(form->aboutWindow.data()));
    auto *link = form->aboutWindow->findChild<QLabel *>(QStringLiteral("Lblwebln"));
    QVERIFY(link);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(w.calls.size(), 2);
    QCOMPARE(w.calls.at(1), QStringLiteral("open https://www.insee.fr/fr/information/2560452"));

    const Form1 other;
    QVERIFY(bool(other.platform.openUrl));
    const frmAbout about;
    QVERIFY(bool(about.platform.openUrl));
}

// ---- About window -------------------------------------------------------

void TestForm1Chrome::aboutWindowIsCreatedOnFirstUse()
{
    Window w(m_store);
    Form1 *const form = &w.form;
    QVERIFY(form->aboutWindow.isNull());
    QVERIFY(form->findChildren<frmAbout *>().isEmpty());

    QTest::mouseClick(form->Apropos, Qt::LeftButton);
    QVERIFY(!form->aboutWindow.isNull());
    QVERIFY(form->aboutWindow->isVisible());
    QVERIFY(!form->aboutWindow->isModal());
    QCOMPARE(form->aboutWindow->windowModality(), Qt::NonModal);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    // The main window stays usable while it is open.
    QTest::mouseClick(form->Command2, Qt::LeftButton);
    QCOMPARE(form->Label5->text(), QStringLiteral("1"));
    QVERIFY(form->aboutWindow->isVisible());
}

void TestForm1Chrome::aboutWindowIsReused()
{
    Window w(m_store);
    Form1 *const form = &w.form;
    QTest::mouseClick(form->Apropos, Qt::LeftButton);
    const QPointer<frmAbout> first = form->aboutWindow;
    QVERIFY(first);
    QTest::mouseClick(form->Apropos, Qt::LeftButton);
    QCOMPARE(form->aboutWindow.data(), first.data());
    QCOMPARE(form->findChildren<frmAbout *>().size(), 1);
    QVERIFY(first->isVisible());
}

void TestForm1Chrome::aboutWindowIsNewAfterOk()
{
    Window w(m_store);
    Form1 *const form = &w.form;
    QTest::mouseClick(form->Apropos, Qt::LeftButton);
    const QPointer<frmAbout> first = form->aboutWindow;
    QVERIFY(first);
    QVERIFY(QTest::qWaitForWindowExposed(first.data()));
    auto *ok = first->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    QTRY_VERIFY(first.isNull());
    QVERIFY(form->aboutWindow.isNull());

    QTest::mouseClick(form->Apropos, Qt::LeftButton);
    QVERIFY(!form->aboutWindow.isNull());
    QVERIFY(form->aboutWindow->isVisible());
    QCOMPARE(form->findChildren<frmAbout *>().size(), 1);
}

void TestForm1Chrome::minimiseHidesTheAboutWindow()
{
    Window w(m_store);
    Form1 *const form = &w.form;
    QTest::mouseClick(form->Apropos, Qt::LeftButton);
    const QPointer<frmAbout> about = form->aboutWindow;
    QVERIFY(about && about->isVisible());

    QTest::mouseClick(form->CmdMinimise, Qt::LeftButton);
    QVERIFY(form->windowState() & Qt::WindowMinimized);
    QVERIFY(!about.isNull()); // hidden, not closed
    QVERIFY(!about->isVisible());

    // Restoring the main window leaves it hidden.
    form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(!(form->windowState() & Qt::WindowMinimized));
    QVERIFY(!about.isNull());
    QVERIFY(!about->isVisible());

    // "A propos" shows the same window again.
    QTest::mouseClick(form->Apropos, Qt::LeftButton);
    QCOMPARE(form->aboutWindow.data(), about.data());
    QVERIFY(about->isVisible());
    QVERIFY(w.calls.isEmpty());
}

void TestForm1Chrome::minimiseWithoutAboutWindow()
{
    Window w(m_store);
    Form1 *const form = &w.form;
    QTest::mouseClick(form->CmdMinimise, Qt::LeftButton);
    QVERIFY(form->windowState() & Qt::WindowMinimized);
    QVERIFY(form->aboutWindow.isNull()); // not created for the occasion
    QVERIFY(form->data.isOpen());
    QVERIFY(w.calls.isEmpty());
}

// ---- quit, Esc and the system's close -------------------------------------

void TestForm1Chrome::quitButtonKeepsTheDatabaseOpen()
{
    Window w(m_store);
    Form1 *const form = &w.form;
    QTest::mouseClick(form->CmdQuitte, Qt::LeftButton);
    QCOMPARE(w.calls, QStringList{"quit"});
    QVERIFY(w.databaseOpenAtQuit);
    QVERIFY(form->data.isOpen());
}

void TestForm1Chrome::escapeClosesTheDatabaseThenQuits_data()
{
    QTest::addColumn<QString>("target");
    // clang-format off
    QTest::newRow("search box") << "Text7";
    QTest::newRow("search button") << "cherche";
    QTest::newRow("browser button") << "Command2";
    QTest::newRow("system button") << "CmdCarte";
    QTest::newRow("window") << "Form1";
    // clang-format on
}

void TestForm1Chrome::escapeClosesTheDatabaseThenQuits()
{
    QFETCH(QString, target);
    Window w(m_store);
    Form1 *const form = &w.form;
    QWidget *widget = target == "Form1" ? form : form->findChild<QWidget *>(target);
    QVERIFY(widget);
    widget->setFocus();
    const QString search = form->Text7->text();
    QTest::keyClick(widget, Qt::Key_Escape);
    QCOMPARE(w.calls, QStringList{"quit"});
    QVERIFY(!w.databaseOpenAtQuit); // closed first
    QVERIFY(!form->data.isOpen());
    // The key stops there: the control did nothing with it.
    QCOMPARE(form->Text7->text(), search);
    QCOMPARE(form->Label5->text(), QString());
}

void TestForm1Chrome::systemCloseActsAsEscape()
{
    Window w(m_store);
    Form1 *const form = &w.form;
    QVERIFY(form->close());
    QCOMPARE(w.calls, QStringList{"quit"});
    QVERIFY(!w.databaseOpenAtQuit);
    QVERIFY(!form->data.isOpen());
}

void TestForm1Chrome::otherKeysReachTheControl()
{
    Window w(m_store);
    Form1 *const form = &w.form;
    form->Text7->setFocus();
    form->Text7->clear();
    QTest::keyClicks(form->Text7, QStringLiteral("Pa ri"));
    QTest::keyClick(form->Text7, Qt::Key_Backspace);
    QTest::keyClick(form->Text7, Qt::Key_Left);
    QTest::keyClick(form->Text7, Qt::Key_Delete);
    QCOMPARE(form->Text7->text(), QStringLiteral("Pa "));
    QVERIFY(w.calls.isEmpty());
    QVERIFY(form->data.isOpen());
}

// ---- clock ------------------------------------------------------------------

void TestForm1Chrome::clockIsHiddenUntilTheFirstTick()
{
    Form1 form;
    QVERIFY(form.Label9->isHidden());
    QCOMPARE(form.Label9->text(), QStringLiteral("Label9"));
    QVERIFY(form.Timer1->isActive());
    QCOMPARE(form.Timer1->interval(), 1000);
}

void TestForm1Chrome::clockTick_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("caption");

    const QLocale french(QLocale::French, QLocale::France);
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    const QDateTime december(QDate(2026, 12, 7), QTime(8, 5, 9));
    const QDateTime evening(QDate(2027, 1, 3), QTime(20, 0, 0));
    // clang-format off
    QTest::newRow("French") << french << december << QStringLiteral("07 décembre 2026  08:05:09");
    QTest::newRow("English") << english << december << QStringLiteral("07 décembre 2026  08:05:09");
    QTest::newRow("French, evening") << french << evening << QStringLiteral("03 janvier 2027  20:00:00");
    QTest::newRow("English, evening") << english << evening << QStringLiteral("03 janvier 2027  20:00:00");
    // clang-format on
}

void TestForm1Chrome::clockTick()
{
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, now);
    QFETCH(QString, caption);
    QLocale::setDefault(locale);

    Window w(m_store);
    Form1 *const form = &w.form;
    form->Timer1->stop(); // only the tick below shows a time
    form->platform.now = [now] { return now; };
    QTest::mouseClick(form->Command2, Qt::LeftButton); // something for the clock to leave alone
    const Shown before(*form);

    form->Timer1_Timer();
    QVERIFY(form->Label9->isVisible());
    QCOMPARE(form->Label9->text(), caption);
    QCOMPARE(Shown(*form), before);
    QVERIFY(w.calls.isEmpty());

    // The next tick writes the time again.
    form->platform.now = [now] { return now.addSecs(1); };
    form->Timer1_Timer();
    QCOMPARE(form->Label9->text().right(2), now.addSecs(1).toString(QStringLiteral("ss")));
}

void TestForm1Chrome::clockRunsOnItsOwn()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    Window w(m_store);
    Form1 *const form = &w.form;
    form->platform.now = [] { return QDateTime(QDate(2026, 12, 7), QTime(8, 5, 9)); };
    QTRY_VERIFY_WITH_TIMEOUT(form->Label9->isVisible(), 1500);
    QCOMPARE(form->Label9->text(), QStringLiteral("07 décembre 2026  08:05:09"));
}

QTEST_MAIN(TestForm1Chrome)
#include "test_form1_chrome.moc"
