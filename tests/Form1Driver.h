#pragma once

#include "app/Form1.h"
#include "communes/NumberText.h"
#include "geo/MaidenheadLocator.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MapWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

// The live main window as the search and step tests drive it, and what they
// read back from it.
namespace form1test {

inline const QColor red(255, 0, 0);
inline const QColor green(0, 255, 0);
inline const QLocale french(QLocale::French, QLocale::France);
inline const QLocale english(QLocale::English, QLocale::UnitedStates);

// A shown main window whose messages and quit requests are recorded
// instead of reaching the desktop.
struct Window
{
    Form1 form;
    QStringList messages;
    int quits = 0;

    explicit Window(const QString &dataPath)
    {
        form.platform.showMessage = [this](QWidget *, const QString &message) { messages << message; };
        form.platform.quit = [this] { ++quits; };
        form.Form_Load(dataPath);
        form.show();
    }

    void next() { QTest::mouseClick(form.apres, Qt::LeftButton); }
    void previous() { QTest::mouseClick(form.avant, Qt::LeftButton); }
    // Clicks in the box (which empties it), types, presses Enter.
    void search(const QString &text)
    {
        QTest::mouseClick(form.Text7, Qt::LeftButton);
        QTest::keyClicks(form.Text7, text);
        QTest::keyClick(form.Text7, Qt::Key_Return);
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
    return QPoint(int(form.seedX), int(form.seedY));
}

inline QString locatorShown(const Form1 &form)
{
    QString locator;
    for (const QLabel *letter : {form.Label14, form.Label15, form.Label16, form.Label17, form.Label18, form.Label19})
        locator += letter->text();
    return locator;
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
