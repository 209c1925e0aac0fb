#pragma once

#include <QColor>
#include <QWidget>

// A shape control: an oval or a rectangle, filled or outlined. It takes no
// mouse presses, so a press on it counts as a press on the window behind.
class ShapeWidget : public QWidget
{
    Q_OBJECT
public:
    enum class Form { Oval, Rectangle };

    ShapeWidget(Form form, QWidget *parent = nullptr);

    Form form() const { return m_form; }

    // An invalid colour leaves the inside transparent.
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);

    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Form m_form;
    QColor m_backColor;
    QColor m_borderColor = Qt::black;
};
