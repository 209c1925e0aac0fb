#include "app/ListWindow.h"

#include "app/Accessibility.h"

#include <QKeyEvent>

ListWindow::ListWindow(QWidget *owner) : QListWidget(owner)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
}

void ListWindow::showAt(QPoint position)
{
    move(position);
    show();
    activateWindow();
    setFocus();
}

void ListWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow())
        hide();
    QListWidget::changeEvent(event);
}

void ListWindow::hideEvent(QHideEvent *event)
{
    // The keys go back to the window the list was opened from.
    if (QWidget *owner = parentWidget())
        owner->activateWindow();
    forgetLinesOfClosedList(this);
    QListWidget::hideEvent(event);
}

void ListWindow::keyPressEvent(QKeyEvent *event)
{
    // The list is a window of its own: Esc closes it here and goes no further.
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QListWidget::keyPressEvent(event);
}
