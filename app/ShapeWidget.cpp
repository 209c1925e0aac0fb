#include "app/ShapeWidget.h"

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

void ShapeWidget::setBorderWidth(int width)
{
    m_borderWidth = width;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal half = m_borderWidth / 2.0;
    const QRectF box = QRectF(rect()).adjusted(half, half, -half, -half);
    painter.setPen(QPen(m_borderColor, m_borderWidth));
    painter.setBrush(m_backColor.isValid() ? QBrush(m_backColor) : Qt::NoBrush);
    if (m_form == Form::Oval) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawEllipse(box);
    } else {
        painter.drawRect(box);
    }
}
