// Mouse events go through the window system layer, so that a move reaches
// whichever control lies under the pointer, as a real one does.
#define QTEST_QPA_MOUSE_HANDLING

#include "about/frmAbout.h"
#include "widgets/Fonts.h"
#include "widgets/HandPointer.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

namespace {

enum class Font { None, Text, Bold, Title };

const QColor paleYellow(255, 255, 192);
const QColor lightCyan(192, 255, 255);
const QColor paleGreen(192, 255, 192);
const QColor green(0, 255, 0);
const QColor darkBlue(0, 0, 192);

// Points of the window: the bare background, the middle of the link, and a
// text label that has nothing to do with the link.
const QPoint onBackground(395, 250);
const QPoint onLink(296, 248);
const QPoint onTextLabel(200, 190);

QColor buttonFace()
{
    return QGuiApplication::palette().color(QPalette::Button);
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void window();
    void centredOnScreen();
    void controls_data();
    void controls();
    void textLabelsAreTransparentAndPaleYellow();
    void iconAndPointer();
    void initialLook();
    void hover_data();
    void hover();
    void keysCloseAndDestroy_data();
    void keysCloseAndDestroy();
    void okButtonAndCloseBoxDestroy();
    void clickOnLinkOpensAddress();
    void otherButtonsOnLinkOpenNothing();
    void captionsFit_data();
    void captionsFit();

private:
    template <typename T = QWidget>
    T *control(const char *name) const
    {
        return m_about->findChild<T *>(QLatin1String(name));
    }
    void moveTo(QPoint point);
    QColor pixel(QPoint point) const;

    QPointer<frmAbout> m_about;
};

void TestAbout::init()
{
    m_about = new frmAbout;
    m_about->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_about));
}

void TestAbout::cleanup()
{
    delete m_about;
}

void TestAbout::moveTo(QPoint point)
{
    QTest::mouseMove(m_about, point);
}

QColor TestAbout::pixel(QPoint point) const
{
    return m_about->grab().toImage().pixelColor(point);
}

void TestAbout::window()
{
    QCOMPARE(m_about->windowTitle(), QStringLiteral("À propos"));
    QCOMPARE(m_about->size(), QSize(418, 278));
    QCOMPARE(m_about->minimumSize(), QSize(418, 278));
    QCOMPARE(m_about->maximumSize(), QSize(418, 278));
    const Qt::WindowFlags flags = m_about->windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!m_about->isModal());
    QVERIFY(m_about->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(m_about->palette().color(QPalette::Window), QColor(0, 0, 64));
    QCOMPARE(pixel(QPoint(5, 270)), QColor(0, 0, 64));
}

void TestAbout::centredOnScreen()
{
    // In the middle of the screen, wherever the main window is: here one in
    // the screen's corner. It is placed before the window system adds its
    // frame, so it may be off by as much as the frame is thick.
    QWidget owner;
    owner.setGeometry(0, 0, 200, 150);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    for (frmAbout *about : {m_about.data(), new frmAbout(&owner)}) {
        about->show();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        const QPoint off = about->geometry().center() - about->screen()->availableGeometry().center();
        const QSize frame = about->frameGeometry().size() - about->size();
        QVERIFY2(qAbs(off.x()) <= frame.width() && qAbs(off.y()) <= frame.height(),
                 qPrintable(QStringLiteral("off by %1, %2").arg(off.x()).arg(off.y())));
    }
}

void TestAbout::controls_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("font");

    auto row = [](const char *name, const char *className, const char *text, QRect geometry, Font font) {
        // clang-format off
        QTest::newRow(name) << className << QString::fromUtf8(text) << geometry << int(font);
        // clang-format on
    };
    row("picIcon", "QLabel", "", {16, 16, 34, 33}, Font::None);
    row("cmdOK", "QPushButton", "OK", {376, 16, 36, 23}, Font::Text);
    row("Label9", "QLabel", "Topovil", {144, 8, 105, 33}, Font::Title);
    row("Label1", "QLabel", "4.01", {256, 16, 32, 13}, Font::Text);
    row("lblDescription", "QLabel", "Exploitation d'une base de donées INSEE listant toutes les communes de France",
        {16, 56, 387, 14}, Font::Text);
    row("Label10", "QLabel", "Ecrire dans la case bleue le nom de la commune recherchée", {56, 80, 297, 25},
        Font::Text);
    row("Label4", "QLabel", "Nom comme on l'écrit, code postal ou INSEE, locator ou coordonnées, jokers * ? #. ",
        {8, 96, 401, 33}, Font::Text);
    row("Label6", "QLabel",
        "Une fois la localité choisie, cliquer sur le bouton \"Chercher\" ou sur la touche \"Enter\" pour valider "
        "votre choix.",
        {8, 112, 401, 33}, Font::Text);
    row("Label5", "QLabel", "Il est possible de naviguer dans le fichier à l'aide des touches  <<  et  >>",
        {32, 144, 353, 17}, Font::Text);
    row("Label2", "QLabel",
        "Si vous êtes connecté à Internet , la touche \"Carte Michelin\" vous permet de situer précisément  la "
        "localité choisie en bénéficiant de toutes les options offertes par le site.  (Pour la France "
        "métropolitaine uniquement)",
        {8, 168, 393, 41}, Font::Text);
    row("Line1_0", "QFrame", "", {32, 216, 371, 2}, Font::None);
    row("Line1_1", "QFrame", "", {32, 216, 372, 1}, Font::None);
    row("lblDisclaimer", "QLabel", "", {144, 224, 122, 23}, Font::Text);
    row("Label7", "QLabel", " ", {96, 240, 161, 25}, Font::Text);
    row("Lblwebln", "QLabel", "www.insee.fr", {256, 240, 81, 17}, Font::Bold);
    row("Shape2", "QFrame", "", {255, 239, 83, 19}, Font::None);
    row("Label8", "QLabel", "", {168, 256, 65, 17}, Font::Text);
}

void TestAbout::controls()
{
    QFETCH(QString, className);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(int, font);

    const char *name = QTest::currentDataTag();
    QWidget *widget = control(name);
    QVERIFY2(widget, name);
    QCOMPARE(widget->parentWidget(), m_about.data());
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->geometry(), geometry);
    QVERIFY(widget->isVisible());
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), text);
    if (auto *button = qobject_cast<QPushButton *>(widget))
        QCOMPARE(button->text(), text);
    switch (Font(font)) {
    case Font::Text:
        QCOMPARE(widget->font(), uiFont());
        break;
    case Font::Bold:
        QCOMPARE(widget->font(), uiFont(true));
        break;
    case Font::Title:
        QCOMPARE(widget->font(), titleFont());
        break;
    case Font::None:
        break;
    }
}

void TestAbout::textLabelsAreTransparentAndPaleYellow()
{
    const auto labels = m_about->findChildren<QLabel *>();
    QCOMPARE(labels.size(), 13);
    for (const QLabel *label : labels) {
        const QString name = label->objectName();
        if (name == "Lblwebln") {
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->alignment(), Qt::AlignCenter);
            continue;
        }
        QVERIFY2(!label->autoFillBackground(), qPrintable(name));
        if (name == "picIcon")
            continue;
        const QColor expected = name == "Label9" ? lightCyan : paleYellow;
        QCOMPARE(label->palette().color(QPalette::WindowText), expected);
    }
    // The etched separator: grey on top of white.
    QCOMPARE(pixel(QPoint(100, 216)), QColor(128, 128, 128));
    QCOMPARE(pixel(QPoint(100, 217)), QColor(Qt::white));
}

void TestAbout::iconAndPointer()
{
    const QPixmap icon = control<QLabel>("picIcon")->pixmap();
    QCOMPARE(icon.size(), QSize(32, 31));

    for (const char *name : {"cmdOK", "Lblwebln"}) {
        const QCursor cursor = control(name)->cursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
        QCOMPARE(cursor.hotSpot(), handPointer().hotSpot());
        // The hot spot is the fingertip: the black outline on the picture's
        // topmost drawn row.
        const QImage hand = cursor.pixmap().toImage();
        const QPoint hotSpot = cursor.hotSpot();
        QCOMPARE(hand.pixelColor(hotSpot), QColor(Qt::black));
        for (int y = 0; y < hotSpot.y(); ++y)
            for (int x = 0; x < hand.width(); ++x)
                QCOMPARE(hand.pixelColor(x, y).alpha(), 0);
    }
    QCOMPARE(control("Lblwebln")->toolTip(), QStringLiteral(" Bienvenu ! "));

    auto *ok = control<QPushButton>("cmdOK");
    QVERIFY(ok->isDefault());
    QVERIFY(ok->hasFocus());
}

void TestAbout::initialLook()
{
    QCOMPARE(m_about->linkBackground(), buttonFace());
    QCOMPARE(m_about->frameColor(), green);
    // What is painted follows: the link's background just inside the frame,
    // and the middle of the 3-px frame on the link's top-left corner.
    QCOMPARE(pixel(QPoint(259, 248)), buttonFace());
    QCOMPARE(pixel(QPoint(256, 240)), green);
    QCOMPARE(pixel(QPoint(336, 256)), green);
}

void TestAbout::hover_data()
{
    // Each letter is one mouse move: b over the bare background, l over the
    // link, t over a text label.
    QTest::addColumn<QString>("moves");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("frame");

    // clang-format off
    QTest::newRow("background") << "b" << lightCyan << green;
    QTest::newRow("link") << "l" << paleGreen << darkBlue;
    QTest::newRow("link then background") << "lb" << lightCyan << green;
    QTest::newRow("background then link") << "bl" << paleGreen << darkBlue;
    QTest::newRow("toggled twice") << "blbl" << paleGreen << darkBlue;
    QTest::newRow("toggled three times") << "lblb" << lightCyan << green;
    QTest::newRow("text label keeps the link look") << "lt" << paleGreen << darkBlue;
    QTest::newRow("text label keeps the background look") << "bt" << lightCyan << green;
    QTest::newRow("text label alone keeps the first look") << "t" << buttonFace() << green;
    // clang-format on
}

void TestAbout::hover()
{
    QFETCH(QString, moves);
    QFETCH(QColor, background);
    QFETCH(QColor, frame);

    for (const QChar move : moves)
        moveTo(move == 'b' ? onBackground : move == 'l' ? onLink : onTextLabel);

    QCOMPARE(m_about->linkBackground(), background);
    QCOMPARE(m_about->frameColor(), frame);
    QCOMPARE(pixel(QPoint(259, 248)), background);
    QCOMPARE(pixel(QPoint(256, 240)), frame);
}

void TestAbout::keysCloseAndDestroy_data()
{
    QTest::addColumn<int>("key");
    // clang-format off
    QTest::newRow("Enter (main keyboard)") << int(Qt::Key_Return);
    QTest::newRow("Enter (keypad)") << int(Qt::Key_Enter);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
    // clang-format on
}

void TestAbout::keysCloseAndDestroy()
{
    QFETCH(int, key);
    m_about->activateWindow();
    QTest::keyClick(m_about, Qt::Key(key));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_about.isNull());
}

void TestAbout::okButtonAndCloseBoxDestroy()
{
    QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_about.isNull());

    // A new window starts with the first look again, whatever the old one
    // showed; the title bar's close box destroys it too.
    init();
    moveTo(onLink);
    QCOMPARE(m_about->frameColor(), darkBlue);
    delete m_about;
    init();
    QCOMPARE(m_about->linkBackground(), buttonFace());
    QCOMPARE(m_about->frameColor(), green);
    m_about->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_about.isNull());
}

void TestAbout::clickOnLinkOpensAddress()
{
    QList<QUrl> opened;
    m_about->platform.openUrl = [&](const QUrl &url) {
        opened << url;
        return true;
    };
    QTest::mouseClick(control("Lblwebln"), Qt::LeftButton);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.at(0).toString(QUrl::FullyEncoded), QStringLiteral("https://www.insee.fr/fr/information/2560452"));
    QCOMPARE(control<QLabel>("Lblwebln")->text(), QStringLiteral("www.insee.fr"));
    QVERIFY(opened.at(0).toString().contains(control<QLabel>("Lblwebln")->text()));
    QVERIFY(!m_about.isNull());
}

void TestAbout::otherButtonsOnLinkOpenNothing()
{
    int calls = 0;
    m_about->platform.openUrl = [&](const QUrl &) {
        ++calls;
        return true;
    };
    QTest::mouseClick(control("Lblwebln"), Qt::RightButton);
    QTest::mouseClick(m_about, Qt::LeftButton, {}, onBackground);
    QCOMPARE(calls, 0);
}

void TestAbout::captionsFit_data()
{
    // The most lines each caption may take: Label4 must stay on one line, as
    // Label6 starts 16 px below it.
    QTest::addColumn<int>("maxLines");
    // clang-format off
    QTest::newRow("cmdOK") << 1;
    QTest::newRow("Label9") << 1;
    QTest::newRow("Label1") << 1;
    QTest::newRow("lblDescription") << 1;
    QTest::newRow("Label10") << 1;
    QTest::newRow("Label4") << 1;
    QTest::newRow("Label6") << 2;
    QTest::newRow("Label5") << 1;
    QTest::newRow("Label2") << 3;
    QTest::newRow("Lblwebln") << 1;
    // clang-format on
}

void TestAbout::captionsFit()
{
    QFETCH(int, maxLines);
    QWidget *widget = control(QTest::currentDataTag());
    QVERIFY(widget);
    const auto *label = qobject_cast<QLabel *>(widget);
    const QString text = label ? label->text() : qobject_cast<QPushButton *>(widget)->text();
    const QFontMetrics metrics(widget->font());
    // The link loses a pixel on each side to its frame; the button to its bevel.
    const int margin = label ? (label->objectName() == "Lblwebln" ? 2 : 0) : 4;
    const QRect room = widget->rect().adjusted(margin, margin, -margin, -margin);

    const QRect used = metrics.boundingRect(QRect(0, 0, room.width(), 1000), Qt::TextWordWrap, text);
    const int lines = qRound(double(used.height()) / metrics.lineSpacing());
    QVERIFY2(lines <= maxLines, qPrintable(QStringLiteral("%1 lines").arg(lines)));
    QVERIFY2(used.height() <= room.height(), qPrintable(QStringLiteral("%1 px high").arg(used.height())));
    if (maxLines == 1)
        QVERIFY2(metrics.horizontalAdvance(text) <= room.width(),
                 qPrintable(QStringLiteral("%1 px wide").arg(metrics.horizontalAdvance(text))));
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
