#pragma once

#include "app/StartingPoint.h"

#include <QDateTime>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>

class frmAbout;

// What the window asks of the desktop, replaceable so that tests can watch
// it without ending the test, moving a real window or waiting on the clock.
struct Form1Platform
{
    std::function<void()> quit;
    std::function<void(QWidget *)> makeTopmost;
    std::function<void(QWidget *)> startSystemMove;
    std::function<QDateTime()> now;
    std::function<void(QWidget *, const QString &)> showMessage;
    // The data file turned out unusable after the window was shown: the
    // message, then the program ends with status 1, as at start.
    std::function<void(QWidget *, const QString &)> failLoading;
    // Opens a web address in the user's browser; says whether it was taken.
    std::function<bool(const QUrl &)> openUrl;
    // The starting point kept across runs (the user's Qt settings).
    std::function<std::optional<StartingPoint>()> loadStartingPoint;
    std::function<QString(const std::optional<StartingPoint> &)> saveStartingPoint; // why it failed, or ""
};

// The desktop's own calls.
Form1Platform desktopPlatform();

// Tells a start-up failure once, in French: on standard error, and in a
// message box where someone can press its button (not offscreen, not in CI).
// The caller then ends the program with status 1.
void reportStartupFailure(const QString &message);

// Puts a text on the clipboard and, where the desktop has one, in the
// selection that the middle button pastes.
void copyText(const QString &text);

// The clock line: « 08 décembre 2025  14:03:07 », French in every locale,
// as every other text of the window.
QString clockText(const QDateTime &now);

// The main window's frame: a fixed, borderless window with its painted skin
// and rounded outline, dragged by its background; minimised, quit, and the
// About window opened, through its desktop calls.
class Form1Frame : public QWidget
{
    Q_OBJECT
public:
    explicit Form1Frame(QWidget *parent = nullptr);
    ~Form1Frame() override;

    Form1Platform platform;
    QPointer<frmAbout> aboutWindow;

    void CmdQuitte_Click() { platform.quit(); }
    void CmdMinimise_Click();
    void Apropos_Click();
    void Form_MouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPixmap m_skin;
};
