#pragma once

#include <QColor>
#include <QPixmap>
#include <QPushButton>

// A command button that shows its own background colour or picture instead of
// the style's button face, drawn with a classic raised bevel.
class GraphicalButton : public QPushButton
{
    Q_OBJECT
public:
    explicit GraphicalButton(QWidget *parent = nullptr);

    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);

    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_backColor;
    QPixmap m_picture;
};
