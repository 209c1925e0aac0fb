#include "widgets/MapWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

MapWidget::MapWidget(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);

    // The frame sides drawn over the picture. They are part of the stored
    // picture too, so that fills and pixel reads see them; these children
    // only let them be found by name like the other controls.
    struct Side { const char *name; QRect pixels; };
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
}

void MapWidget::mousePressEvent(QMouseEvent *event)
{
    // The map measures in whole pixels: on a scaled screen the pointer can
    // sit between logical pixels, and the pixel under it is the one whose
    // square holds the position.
    const QPointF at = event->position();
    emit mouseDown(event->button(), event->modifiers(), QPointF(std::floor(at.x()), std::floor(at.y())));
}
