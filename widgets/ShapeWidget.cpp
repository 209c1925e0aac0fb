#include "widgets/ShapeWidget.h"

#include <QPainter>

ShapeWidget::ShapeWidget(Form form, QWidget *parent) : QWidget(parent), m_form(form)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::setBackColor(const QColor &color)
{
    m_backColor = color;
    update();
}

void ShapeWidget::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A one-pixel border, centred half a pixel inside the edge so that it is
    // drawn whole.
    const qreal half = 0.5;
    const QRectF box = QRectF(rect()).adjusted(half, half, -half, -half);
    painter.setPen(QPen(m_borderColor, 1));
    painter.setBrush(m_backColor.isValid() ? QBrush(m_backColor) : Qt::NoBrush);
    if (m_form == Form::Oval) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawEllipse(box);
    } else {
        painter.drawRect(box);
    }
}
