#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MapWidget.h"
#include "widgets/ShapeWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The main window as built, checked against its layout table.
class TestForm1Layout : public QObject
{
    Q_OBJECT
private slots:
    void windowProperties();
    void everyControl_data();
    void everyControl();
    void tabOrderFollowsTheTable();
    void fixedCaptionsFit();
    void hiddenBoxesStayHiddenWhenShown();
    void linesLieInsideTheMap();
};

void TestForm1Layout::windowProperties()
{
    Form1 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Topovil"));
    QCOMPARE(form.size(), QSize(545, 417));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!form.windowIcon().isNull());
    QCOMPARE(form.windowIcon().availableSizes().value(0), QSize(32, 31));
    QCOMPARE(form.Timer1->interval(), 1000);
    QVERIFY(form.Timer1->isActive());
    // Every control lies within the window.
    for (QWidget *child : form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(form.rect().contains(child->geometry()), qPrintable(child->objectName()));
}

void TestForm1Layout::everyControl_data()
{
    QTest::addColumn<int>("index");
    for (size_t i = 0; i < form1Controls().size(); ++i)
        // clang-format off
        QTest::newRow(form1Controls()[i].name) << int(i);
    // clang-format on
}

static bool isBold(const QWidget *w)
{
    return w->font().bold();
}

void TestForm1Layout::everyControl()
{
    QFETCH(int, index);
    const ControlSpec &spec = form1Controls()[size_t(index)];
    Form1 form;
    form.show();
    QWidget *control = form.findChild<QWidget *>(QLatin1String(spec.name), Qt::FindDirectChildrenOnly);
    QVERIFY(control);
    QCOMPARE(control->geometry(), spec.geometry);
    QCOMPARE(control->isVisible(), spec.visibleAtStart);
    QCOMPARE(isBold(control), spec.font != FontStyle::Regular);
    QCOMPARE(control->font().underline(), spec.font == FontStyle::BoldUnderline);

    const QString text = QString::fromUtf8(spec.text);
    switch (spec.kind) {
    case ControlKind::Label: {
        auto *label = qobject_cast<QLabel *>(control);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, spec.alignment & Qt::AlignHorizontal_Mask);
        QCOMPARE(label->palette().color(QPalette::WindowText),
                 spec.textColor.isValid() ? spec.textColor : QColor(Qt::black));
        QVERIFY(!label->autoFillBackground()); // the skin shows through
        break;
    }
    case ControlKind::TextBox:
    case ControlKind::HiddenTextBox: {
        auto *box = qobject_cast<QLineEdit *>(control);
        QVERIFY(box);
        QCOMPARE(box->text(), text);
        if (spec.textColor.isValid())
            QCOMPARE(box->palette().color(QPalette::Text), spec.textColor);
        if (spec.backColor.isValid())
            QCOMPARE(box->palette().color(QPalette::Base), spec.backColor);
        break;
    }
    case ControlKind::SystemButton:
    case ControlKind::GraphicalButton: {
        auto *button = qobject_cast<QPushButton *>(control);
        QVERIFY(button);
        QCOMPARE(button->text(), text);
        QCOMPARE(button->cursor().shape(), Qt::BitmapCursor);
        auto *graphical = qobject_cast<GraphicalButton *>(control);
        QCOMPARE(graphical != nullptr, spec.kind == ControlKind::GraphicalButton);
        if (graphical && spec.backColor.isValid())
            QCOMPARE(graphical->backColor(), spec.backColor);
        break;
    }
    case ControlKind::Picture:
        QVERIFY(qobject_cast<MapWidget *>(control));
        break;
    case ControlKind::OvalShape:
    case ControlKind::RectangleShape: {
        auto *shape = qobject_cast<ShapeWidget *>(control);
        QVERIFY(shape);
        QCOMPARE(shape->form() == ShapeWidget::Form::Oval, spec.kind == ControlKind::OvalShape);
        QCOMPARE(shape->backColor(), spec.backColor);
        QVERIFY(shape->testAttribute(Qt::WA_TransparentForMouseEvents));
        break;
    }
    }
}

void TestForm1Layout::tabOrderFollowsTheTable()
{
    Form1 form;
    std::vector<const ControlSpec *> focusable;
    for (const ControlSpec &spec : form1Controls()) {
        QWidget *control = form.findChild<QWidget *>(QLatin1String(spec.name));
        if (spec.tabIndex >= 0 && control->focusPolicy() & Qt::TabFocus)
            focusable.push_back(&spec);
    }
    std::sort(focusable.begin(), focusable.end(),
              [](const ControlSpec *a, const ControlSpec *b) { return a->tabIndex < b->tabIndex; });
    QVERIFY(focusable.size() > 10);
    for (size_t i = 0; i + 1 < focusable.size(); ++i) {
        QWidget *from = form.findChild<QWidget *>(QLatin1String(focusable[i]->name));
        QWidget *to = form.findChild<QWidget *>(QLatin1String(focusable[i + 1]->name));
        QWidget *next = from->nextInFocusChain();
        while (next != to && !(next->focusPolicy() & Qt::TabFocus) && next != from)
            next = next->nextInFocusChain();
        QVERIFY2(next == to, qPrintable(QStringLiteral("%1 -> %2").arg(focusable[i]->name, focusable[i + 1]->name)));
    }
}

void TestForm1Layout::fixedCaptionsFit()
{
    Form1 form;
    for (const ControlSpec &spec : form1Controls()) {
        const bool hasCaption = spec.kind == ControlKind::Label || spec.kind == ControlKind::SystemButton
                                || spec.kind == ControlKind::GraphicalButton;
        if (!hasCaption || QByteArray(spec.text).startsWith("Label"))
            continue;
        QWidget *control = form.findChild<QWidget *>(QLatin1String(spec.name));
        const QFontMetrics metrics(control->font());
        const QString text = QString::fromUtf8(spec.text);
        const int room = spec.geometry.width() - (spec.kind == ControlKind::Label ? 0 : 4);
        QVERIFY2(metrics.horizontalAdvance(text) <= room,
                 qPrintable(
                     QStringLiteral("%1: %2 px in %3").arg(spec.name).arg(metrics.horizontalAdvance(text)).arg(room)));
        QVERIFY2(metrics.height() <= spec.geometry.height() + 1, spec.name);
    }
}

void TestForm1Layout::hiddenBoxesStayHiddenWhenShown()
{
    Form1 form;
    form.show();
    for (QLineEdit *box : {form.Text1, form.Text6, form.Text8, form.Text9, form.listeIP}) {
        box->setText(QStringLiteral("quelque chose"));
        QVERIFY2(!box->isVisible(), qPrintable(box->objectName()));
    }
}

void TestForm1Layout::linesLieInsideTheMap()
{
    Form1 form;
    for (const char *name : {"Line1", "Line2", "Line3"}) {
        QWidget *line = form.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(line, name);
        QCOMPARE(line->parentWidget(), form.Picture1);
        QVERIFY(line->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
    QCOMPARE(form.findChild<QWidget *>("Line1")->geometry().left(), 70);
    QCOMPARE(form.findChild<QWidget *>("Line3")->geometry().top(), 222);
}

QTEST_MAIN(TestForm1Layout)
#include "test_form1_layout.moc"
