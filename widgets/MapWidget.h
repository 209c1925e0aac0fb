#pragma once

#include "map/MapPicture.h"

#include <QWidget>

// Picture1: shows the map picture at 1:1 from its top-left corner and reports
// presses in map pixels. The fills are drawn on the picture it owns and show
// at once.
class MapWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MapWidget(QWidget *parent = nullptr);

    MapPicture &picture() { return m_picture; }
    const MapPicture &picture() const { return m_picture; }

    // The stored picture shows again, with no fill left.
    void Refresh();
    // Repaints after a change made on picture() directly.
    void showChanges();

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF position);
    // With the focus on the map: Left, Down or - asks for the previous
    // département, Right, Up or + for the next one.
    void previousRequested();
    void nextRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    MapPicture m_picture;
};
