#include "app/Form1Frame.h"

#include "about/frmAbout.h"
#include "app/Form1Layout.h"
#include "widgets/Fonts.h"
#include "widgets/ScreenCentre.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>
#include <cstdio>

Form1Platform desktopPlatform()
{
    return {
        [] { QCoreApplication::exit(0); },
        [](QWidget *window) {
            if (QWindow *handle = window->windowHandle())
                handle->setFlag(Qt::WindowStaysOnTopHint, true);
        },
        [](QWidget *window) {
            if (QWindow *handle = window->windowHandle())
                handle->startSystemMove();
        },
        [] { return QDateTime::currentDateTime(); },
        [](QWidget *window, const QString &message) {
            // Not modal: the window stays usable while the message shows.
            auto *box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(form1::caption), message,
                                        QMessageBox::Ok, window);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setWindowModality(Qt::NonModal);
            box->show();
        },
        [](QWidget *window, const QString &message) {
            window->hide();
            reportStartupFailure(message);
            QCoreApplication::exit(1);
        },
        &QDesktopServices::openUrl,
        &loadStartingPoint,
        &saveStartingPoint,
    };
}

void reportStartupFailure(const QString &message)
{
    std::fprintf(stderr, "Topovil : %s\n", qPrintable(message));
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::critical(nullptr, QStringLiteral("Topovil"), message);
}

void copyText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(text, QClipboard::Clipboard);
    if (clipboard->supportsSelection())
        clipboard->setText(text, QClipboard::Selection);
}

QString clockText(const QDateTime &now)
{
    const QLocale locale(QLocale::French, QLocale::France);
    return locale.toString(now.date(), QStringLiteral("dd MMMM yyyy")) + QStringLiteral("  ")
           + locale.toString(now.time(), QStringLiteral("HH:mm:ss"));
}

Form1Frame::Form1Frame(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), platform(desktopPlatform()),
      m_skin(QStringLiteral(":/skin.png"))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(form1::caption));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    setFixedSize(form1::width, form1::height);
    centreOnScreen(this);
    setFont(uiFont());
    setMask(form1Region());
}

Form1Frame::~Form1Frame()
{
    delete aboutWindow.data();
}

void Form1Frame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), form1::backColor);
    painter.drawPixmap(0, 0, m_skin);
}

void Form1Frame::mousePressEvent(QMouseEvent *event)
{
    // Only the background reaches here: controls take their own presses,
    // and shapes let them through.
    if (childAt(event->position().toPoint()) == nullptr)
        Form_MouseDown(event->button());
}

void Form1Frame::Form_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    platform.makeTopmost(this);
    platform.startSystemMove(this);
}

void Form1Frame::CmdMinimise_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
    if (aboutWindow && aboutWindow->isVisible())
        aboutWindow->hide();
}

void Form1Frame::Apropos_Click()
{
    if (!aboutWindow) {
        aboutWindow = new frmAbout(this);
        // The link of the About window opens through this window's desktop.
        aboutWindow->platform.openUrl = platform.openUrl;
    }
    aboutWindow->show();
    aboutWindow->raise();
    aboutWindow->activateWindow();
}
