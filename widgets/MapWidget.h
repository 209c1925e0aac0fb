#pragma once

#include "map/MapPicture.h"

#include <QWidget>
#include <optional>

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

    // The shown commune's own point, a cross drawn over the picture (never
    // into it: fills and pixel reads see the map alone), and the commune's
    // name for screen readers; nothing takes the mark away.
    void setMark(std::optional<QPoint> point, const QString &name = {});
    std::optional<QPoint> mark() const { return m_mark; }
    QString markName() const { return m_markName; }
    // The starting point of distances, a ring drawn the same way.
    void setStartMark(std::optional<QPoint> point);
    std::optional<QPoint> startMark() const { return m_startMark; }

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
    void updateAround(std::optional<QPoint> point);

    MapPicture m_picture;
    std::optional<QPoint> m_mark;
    QString m_markName;
    std::optional<QPoint> m_startMark;
};
