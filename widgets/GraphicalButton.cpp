#include "widgets/GraphicalButton.h"

#include <QPainter>

GraphicalButton::GraphicalButton(QWidget *parent) : QPushButton(parent), m_backColor(palette().color(QPalette::Button))
{
}

void GraphicalButton::setBackColor(const QColor &color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    update();
}

void GraphicalButton::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void GraphicalButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    const bool sunken = isDown();
    painter.fillRect(rect(), m_backColor);

    const QColor light = sunken ? QColor(64, 64, 64) : QColor(255, 255, 255);
    const QColor dark = sunken ? QColor(255, 255, 255) : QColor(64, 64, 64);
    painter.setPen(light);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(dark);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());

    const QPoint shift = sunken ? QPoint(1, 1) : QPoint(0, 0);
    if (!m_picture.isNull()) {
        const QPoint at = rect().center() - m_picture.rect().center() + shift;
        painter.drawPixmap(at, m_picture);
    }
    if (!text().isEmpty()) {
        painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(128, 128, 128));
        painter.setFont(font());
        painter.drawText(rect().translated(shift), Qt::AlignCenter, text());
    }
    if (hasFocus()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}
