// What the record shows beyond the design's fields, and what leaves it:
// the box ready to type at start-up, every postal code of the commune, its
// INSEE code, and the copy of the record by Ctrl+C or a right click.
#include "Form1Driver.h"
#include "TestPaths.h"
#include "TestStore.h"

#include <QAccessible>
#include <QClipboard>
#include <QMenu>
#include <QtTest>

using namespace form1test;

namespace {

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

// The actions of the copy menu a right click on `value` opens.
QList<QAction *> copyMenuOf(Window &window, QWidget *value)
{
    window.rightClick(value);
    auto *menu = window.form.findChild<QMenu *>(QStringLiteral("copyMenu"));
    if (!menu || !QTest::qWaitFor([menu] { return menu->isVisible(); }))
        return {};
    return menu->actions();
}

// A number of a label, in French, as the copy writes it.
QString pointed(QString text)
{
    return text.replace(',', '.');
}

QString accessibleText(QWidget *control, QAccessible::Text which)
{
    QAccessibleInterface *read = QAccessible::queryAccessibleInterface(control);
    return read ? read->text(which) : QString();
}

} // namespace

class TestForm1Record : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(french); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // The first key replaces the prompt, without a click first.
    void theBoxIsReadyToType()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        QCOMPARE(window.form.focusWidget(), window.form.Text7);
        QCOMPARE(window.form.Text7->selectedText(), QStringLiteral("Votre choix ?"));
        typeText(window.form.focusWidget(), QStringLiteral("Brest"));
        QTest::keyClick(window.form.focusWidget(), Qt::Key_Return);
        QCOMPARE(window.form.Text7->text(), QStringLiteral("BREST"));
        QCOMPARE(window.form.Label10->text(), QStringLiteral("29200"));
        // A click still empties the box, as designed.
        QTest::mouseClick(window.form.Text7, Qt::LeftButton);
        QCOMPARE(window.form.Text7->text(), QString());
    }

    void everyPostalCode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("more");
        QTest::addColumn<QString>("all"); // the shown one first
        QTest::newRow("first of five") << "AIX EN PROVENCE"
                                       << "13080"
                                       << "(+4)"
                                       << "13080 13090 13100 13290 13540";
        QTest::newRow("the code typed") << "13100"
                                        << "13100"
                                        << "(+4)"
                                        << "13100 13080 13090 13290 13540";
        QTest::newRow("a déléguée: the commune's first") << "ANNECY LE VIEUX"
                                                         << "74000"
                                                         << "(+4)"
                                                         << "74000 74370 74600 74940 74960";
        QTest::newRow("an arrondissement's own code")
            << "paris 15e arrondissement"
            << "75015"
            << "(+20)"
            << "75015 75001 75002 75003 75004 75005 75006 75007 75008 75009 75010 75011 75012 75013 75014 "
               "75016 75017 75018 75019 75020 75116";
        QTest::newRow("one code") << "BREST"
                                  << "29200"
                                  << ""
                                  << "29200";
    }
    void everyPostalCode()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, more);
        QFETCH(QString, all);
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        window.search(typed);
        QCOMPARE(window.form.Label10->text(), shown);
        QCOMPARE(window.form.postcodesMore->text(), more);
        QCOMPARE(window.form.shownPostcodes().join(' '), all);
        const QString listed = all.split(' ').join(QStringLiteral(", "));
        QCOMPARE(window.form.Label10->toolTip(), more.isEmpty() ? QString() : "Codes postaux : " + listed);
        QVERIFY(accessibleText(window.form.Label10, QAccessible::Description).endsWith(more.isEmpty() ? "" : listed));
        QCOMPARE(accessibleText(window.form.Label10, QAccessible::Name), shown);
        // The same after a step away and back.
        window.next();
        window.previous();
        QCOMPARE(window.form.postcodesMore->text(), otherPostcodesText(window.form.shownPostcodes()));
    }

    void theInseeCodeIsShownAndRead()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        window.search("AIX EN PROVENCE");
        QVERIFY(window.form.inseeCode->isVisible());
        QCOMPARE(window.form.inseeCode->text(), QStringLiteral("13001"));
        QCOMPARE(accessibleText(window.form.inseeCode, QAccessible::Name), QStringLiteral("13001"));
        QCOMPARE(accessibleText(window.form.inseeCode, QAccessible::Description),
                 QStringLiteral("Code INSEE de la commune affichée"));
        window.next();
        QVERIFY(window.form.inseeCode->text() != QStringLiteral("13001"));
    }

    // A user's own file: its codepos alone, and no INSEE line.
    void anOwnFileShowsItsCodeposAlone()
    {
        QTemporaryDir dir;
        const QString path = writeNumberedStore(dir, {commune("BREST", -4.48, 48.39, "29200", "FINISTERE"),
                                                      commune("QUIMPER", -4.1, 48.0, "29000", "FINISTERE")});
        Window window(path, Window::Clock::Stopped);
        window.search("QUIMPER");
        QCOMPARE(window.form.Label10->text(), QStringLiteral("29000"));
        QCOMPARE(window.form.postcodesMore->text(), QString());
        QVERIFY(!window.form.inseeCode->isVisible() && !window.form.inseeCaption->isVisible());
    }

    void ctrlCCopiesTheRecord()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        keptStartingPoint = StartingPoint{QStringLiteral("PARIS"), {48.85661, 2.3428}, QStringLiteral("75")};
        Window window(shippedStorePath(), Window::Clock::Stopped);
        window.search("AIX EN PROVENCE");
        QTest::keyClick(window.form.Text7, Qt::Key_C, Qt::ControlModifier);
        const Form1 &form = window.form;
        // The numbers with a point whatever the locale, as a spreadsheet or
        // a script reads them; the labels write them as the user reads them.
        QCOMPARE(clipboardText(),
                 QStringList({form.Label1->text(), "13080 13090 13100 13290 13540", "13001", "BOUCHES-DU-RHONE",
                              pointed(form.Label11->text()), pointed(form.Label12->text()), locatorShown(form),
                              form.distanceLabel->text()})
                     .join('\t'));
        QVERIFY(form.Label11->text().contains(','));
        QVERIFY(form.distanceLabel->text().startsWith(QStringLiteral("Depuis PARIS : ")));
        // A text the user selected in the box is the box's to copy.
        window.type("AIX");
        window.form.Text7->selectAll();
        QTest::keyClick(window.form.Text7, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboardText(), QStringLiteral("AIX"));
        keptStartingPoint.reset();
    }

    void aRightClickCopiesOneValue()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        window.search("AIX EN PROVENCE");
        QList<QAction *> actions = copyMenuOf(window, window.form.inseeCode);
        QCOMPARE(actions.size(), 1);
        QCOMPARE(actions[0]->text(), QStringLiteral("Copier"));
        actions[0]->trigger();
        QCOMPARE(clipboardText(), QStringLiteral("13001"));
        actions = copyMenuOf(window, window.form.postcodesMore);
        QCOMPARE(actions.size(), 2);
        actions[0]->trigger();
        QCOMPARE(clipboardText(), QStringLiteral("13080"));
        actions = copyMenuOf(window, window.form.Label10);
        actions[1]->trigger();
        QCOMPARE(clipboardText(), QStringLiteral("13080 13090 13100 13290 13540"));
        actions = copyMenuOf(window, window.form.Label12);
        actions[0]->trigger();
        QCOMPARE(clipboardText(), pointed(window.form.Label12->text()));
    }

    // At start-up the box holds its prompt, selected so that the first key
    // replaces it: Ctrl+C there copies the record shown, not the prompt.
    void ctrlCAtStartCopiesTheRecord()
    {
        REQUIRE_SHARED_FILE(shippedStorePath());
        Window window(shippedStorePath(), Window::Clock::Stopped);
        QCOMPARE(window.form.Text7->selectedText(), QStringLiteral("Votre choix ?"));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(window.form.focusWidget(), Qt::Key_C, Qt::ControlModifier);
        QVERIFY2(clipboardText().startsWith(window.form.Label1->text() + '\t'), qPrintable(clipboardText()));
        QVERIFY(!clipboardText().contains(QStringLiteral("Votre choix")));
    }
};

QTEST_MAIN(TestForm1Record)
#include "test_form1_record.moc"
