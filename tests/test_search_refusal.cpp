#include "Form1Driver.h"
#include "TestPaths.h"
#include "app/Form1.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QtTest>

// A malformed pattern is refused inside the window: the hint under the
// search box turns red with the reason, nothing opens over the controls, and
// the next key or click in the box gives the hint back.

using namespace form1test;

namespace {

// The window's own state of the hint, to compare before and after.
struct Hint
{
    QString text;
    QRect geometry;
    QColor color;
    bool secondLine = false;

    explicit Hint(const Form1 &form)
        : text(form.Label7->text()), geometry(form.Label7->geometry()),
          color(form.Label7->palette().color(QPalette::WindowText)), secondLine(form.Label2->isVisible())
    {
    }
    bool operator==(const Hint &) const = default;
};

QStringList visibleWindows()
{
    QStringList shown;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            shown << window->objectName() + QLatin1Char(' ') + window->metaObject()->className();
    }
    return shown;
}

} // namespace

class TestSearchRefusal : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(french); }
    void reasonShowsInTheHint_data();
    void reasonShowsInTheHint();
    void nextKeyInTheBoxBringsTheHintBack();
    void clickInTheBoxBringsTheHintBack();
    void aGoodSearchAfterwardsWorks();
};

void TestSearchRefusal::reasonShowsInTheHint_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reason");
    // clang-format off
    QTest::newRow("[a") << "[a" << QString::fromUtf8("crochet non fermé");
    QTest::newRow("paris[") << "paris[" << QString::fromUtf8("crochet non fermé");
    QTest::newRow("[]") << "[]" << QStringLiteral("liste vide");
    // clang-format on
}

void TestSearchRefusal::reasonShowsInTheHint()
{
    QFETCH(QString, typed);
    QFETCH(QString, reason);
    Window w(shippedStorePath());
    w.search(QStringLiteral("PARIS"));
    const Hint before(w.form);
    QCOMPARE(before.text, hint);
    const QString shownName = w.form.Label1->text();

    w.search(typed);
    QCOMPARE(w.messages, QStringList());
    QCOMPARE(visibleWindows(), QStringList{QStringLiteral("Form1 Form1")});
    QCOMPARE(w.form.Label7->text(), QString::fromUtf8("Motif de recherche invalide : ") + reason);
    QCOMPARE(w.form.Label7->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    QCOMPARE(w.form.Label1->text(), shownName);

    // The reason is written whole inside the search frame, and covers no
    // control that is shown.
    const QRect area = w.form.Label7->geometry();
    const QWidget *frame = w.form.findChild<QWidget *>(QStringLiteral("Shape2"));
    QVERIFY(frame->geometry().contains(area));
    const QRect needed = w.form.Label7->fontMetrics().boundingRect(
        QRect(0, 0, area.width(), 1000), Qt::TextWordWrap | Qt::AlignHCenter, w.form.Label7->text());
    QVERIFY2(needed.width() <= area.width() && needed.height() <= area.height(),
             qPrintable(QStringLiteral("%1x%2").arg(needed.width()).arg(needed.height())));
    for (QWidget *control : w.form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (control == w.form.Label7 || control == frame || !control->isVisible())
            continue;
        QVERIFY2(!control->geometry().intersects(area), qPrintable(control->objectName()));
    }
    QVERIFY(!w.form.Label2->isVisible());
    // A screen reader reads the reason where the hint was.
    QCOMPARE(QAccessible::queryAccessibleInterface(w.form.Label7)->text(QAccessible::Name), w.form.Label7->text());
}

void TestSearchRefusal::nextKeyInTheBoxBringsTheHintBack()
{
    Window w(shippedStorePath());
    const Hint before(w.form);
    w.search(QStringLiteral("[a"));
    QVERIFY(Hint(w.form) != before);
    // Enter again with the same text: refused again, still shown.
    QTest::keyClick(w.form.Text7, Qt::Key_Return);
    QVERIFY(w.form.Label7->text().startsWith(QStringLiteral("Motif")));
    QTest::keyClick(w.form.Text7, Qt::Key_Backspace);
    QVERIFY(Hint(w.form) == before);
    QCOMPARE(w.form.Text7->text(), QStringLiteral("["));
    QCOMPARE(w.messages, QStringList());
}

void TestSearchRefusal::clickInTheBoxBringsTheHintBack()
{
    Window w(shippedStorePath());
    const Hint before(w.form);
    w.search(QStringLiteral("*[!"));
    QVERIFY(Hint(w.form) != before);
    // A click elsewhere leaves the reason shown.
    QTest::mouseClick(w.form.apres, Qt::LeftButton);
    QVERIFY(Hint(w.form) != before);
    QTest::mouseClick(w.form.Text7, Qt::LeftButton);
    QVERIFY(Hint(w.form) == before);
    QCOMPARE(w.form.Text7->text(), QString());
}

void TestSearchRefusal::aGoodSearchAfterwardsWorks()
{
    Window w(shippedStorePath());
    const Hint before(w.form);
    w.search(QStringLiteral("[a"));
    w.search(QStringLiteral("brest"));
    QCOMPARE(w.form.Label1->text(), QStringLiteral("Brest"));
    QVERIFY(Hint(w.form) == before);
    QCOMPARE(w.messages, QStringList());
}

QTEST_MAIN(TestSearchRefusal)
#include "test_search_refusal.moc"
