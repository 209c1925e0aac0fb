#include "widgets/ScreenCentre.h"

#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget *window)
{
    if (const QScreen *screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}
