#pragma once

#include "Shown.h"
#include "app/Form1.h"
#include "geo/MaidenheadLocator.h"
#include "store/NumberText.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MapWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QUrl>
#include <QtTest>

// The live main window as every window test drives it, and what they read
// back from it.
namespace form1test {

inline const QColor red(255, 0, 0);
inline const QColor green(0, 255, 0);
inline const QLocale french(QLocale::French, QLocale::France);
inline const QLocale english(QLocale::English, QLocale::UnitedStates);
// The hint under the search box, shown while no count or other name is.
inline const QString hint = QStringLiteral("Nom, code postal, INSEE ou locator");

// Key presses that type a text, letters beyond ASCII included.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The starting point the test's windows keep across their runs, in place of
// the user's own settings, which no test reads or writes.
inline std::optional<StartingPoint> keptStartingPoint;

// A shown main window on a data file, whose desktop calls are recorded
// instead of reaching the desktop: no test quits, moves a real window or
// opens a browser.
struct Window
{
    // A stopped clock leaves the window to the test alone.
    enum class Clock { Running, Stopped };

    Form1 form;
    // Every desktop call, in order: "topmost", "move", "quit",
    // "message <text>", "open <address>", "load failure <text>".
    QStringList calls;
    QStringList messages;
    QStringList loadFailures;
    QList<QUrl> opened;
    int quits = 0;
    bool databaseOpenAtQuit = false;

    explicit Window(const QString &dataPath, Clock clock = Clock::Running)
    {
        if (clock == Clock::Stopped)
            form.Timer1->stop();
        form.platform.quit = [this] {
            ++quits;
            calls << QStringLiteral("quit");
            databaseOpenAtQuit = form.data.isOpen();
        };
        form.platform.makeTopmost = [this](QWidget *) { calls << QStringLiteral("topmost"); };
        form.platform.startSystemMove = [this](QWidget *) { calls << QStringLiteral("move"); };
        form.platform.showMessage = [this](QWidget *, const QString &message) {
            messages << message;
            calls << "message " + message;
        };
        form.platform.failLoading = [this](QWidget *, const QString &message) {
            loadFailures << message;
            calls << "load failure " + message;
        };
        form.platform.openUrl = [this](const QUrl &url) {
            opened << url;
            calls << "open " + url.toString(QUrl::FullyEncoded);
            return true;
        };
        form.platform.loadStartingPoint = [] { return keptStartingPoint; };
        form.platform.saveStartingPoint = [](const std::optional<StartingPoint> &point) {
            keptStartingPoint = point;
            return QString();
        };
        form.Form_Load(dataPath);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("the window was not shown");
    }

    void next() { QTest::mouseClick(form.apres, Qt::LeftButton); }
    void previous() { QTest::mouseClick(form.avant, Qt::LeftButton); }
    // Clicks in the box (which empties it) and types.
    void type(const QString &text)
    {
        QTest::mouseClick(form.Text7, Qt::LeftButton);
        typeText(form.Text7, text);
    }
    // As the user does it: types, then Enter runs the search.
    void search(const QString &text)
    {
        type(text);
        QTest::keyClick(form.Text7, Qt::Key_Return);
    }
    // Types, then clicks the search button.
    void searchWithButton(const QString &text)
    {
        type(text);
        QTest::mouseClick(form.cherche, Qt::LeftButton);
    }
    // For texts no keyboard types: put in the box, then the button is clicked.
    void pasteAndSearch(const QString &text)
    {
        form.Text7->setText(text);
        QTest::mouseClick(form.cherche, Qt::LeftButton);
    }
    // A right click as the desktop gives it: the press, then the request
    // for a context menu.
    void rightClick(QWidget *control, QPoint at = QPoint(5, 5))
    {
        QTest::mouseClick(control, Qt::RightButton, {}, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, control->mapToGlobal(at));
        QApplication::sendEvent(control, &menu);
    }
    void clickMap(QPoint point, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(form.Picture1, button, modifiers, point);
    }
};

inline QColor mapColor(const Form1 &form, QPoint p)
{
    return QColor::fromRgb(form.Picture1->picture().pixel(p));
}

inline QColor fillColor(const Form1 &form)
{
    return QColor::fromRgb(form.Picture1->picture().fillColor());
}

inline QPoint seedPoint(const Form1 &form)
{
    return QPoint(int(form.state.seed.x()), int(form.state.seed.y()));
}

// The locator of the position the labels show, read back in the current locale.
inline QString locatorOfShownPosition(const Form1 &form)
{
    const std::optional<double> latitude = textToNumber(form.Label12->text());
    const std::optional<double> longitude = textToNumber(form.Label11->text());
    if (!latitude || !longitude)
        return QStringLiteral("unreadable %1 %2").arg(form.Label12->text(), form.Label11->text());
    return maidenheadLocator(*latitude, *longitude);
}

} // namespace form1test
