#include "widgets/MapWidget.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

MapWidget::MapWidget(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Reached with Tab, so that the keyboard can browse the départements;
    // a click leaves the focus where it was (in the search box, usually).
    setFocusPolicy(Qt::TabFocus);

    // The frame sides drawn over the picture. They are part of the stored
    // picture too, so that fills and pixel reads see them; these children
    // only let them be found by name like the other controls.
    struct Side
    {
        const char *name;
        QRect pixels;
    };
    const Side sides[] = {
        {"Line1", QRect(70, 14, 2, 55)},
        {"Line2", QRect(11, 14, 2, 55)},
        {"Line3", QRect(204, 222, 2, 45)},
    };
    for (const Side &side : sides) {
        auto *line = new QWidget(this);
        line->setObjectName(QLatin1String(side.name));
        line->setGeometry(side.pixels);
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, Qt::black);
        line->setPalette(palette);
    }
}

void MapWidget::showChanges()
{
    update(m_picture.takeDirtyRect());
}

void MapWidget::Refresh()
{
    m_picture.reset();
    showChanges();
}

void MapWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    painter.drawImage(event->rect(), m_picture.image(), event->rect());
    if (hasFocus()) {
        // Drawn on the screen only: the picture that fills and pixel reads
        // use stays as it is.
        painter.setPen(QPen(QColor(0, 0, 192), 2, Qt::DashLine));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

// A screen reader following the map hears the département it now shows.
static void announceChange(QWidget *map)
{
    QAccessibleEvent event(map, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void MapWidget::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Minus:
        emit previousRequested();
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Plus:
        emit nextRequested();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    announceChange(this);
}

void MapWidget::mousePressEvent(QMouseEvent *event)
{
    // The map measures in whole pixels: on a scaled screen the pointer can
    // sit between logical pixels, and the pixel under it is the one whose
    // square holds the position.
    const QPointF at = event->position();
    emit mouseDown(event->button(), event->modifiers(), QPointF(std::floor(at.x()), std::floor(at.y())));
    announceChange(this);
}
