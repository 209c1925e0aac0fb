#include "widgets/MapWidget.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <functional>

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

namespace {

// A screen reader following the map hears the département it now shows,
// and the commune marked on it.
void announceChange(QWidget *map)
{
    QAccessibleEvent event(map, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

// The marks stay within this many pixels of their point.
constexpr int markReach = 4;

// Every colour of the map may lie under a mark (the fills take any colour
// whose channels stay below 255), so no single colour stands out from all
// of them: each mark is a bright magenta stroke, a colour no fill, no white
// and no sea can have, over a dark outline, one of the two far from
// whatever lies beneath.
const QColor markCore(255, 0, 255);
const QColor markOutline(40, 0, 40);

void drawTwoTone(QPainter &painter, const std::function<void(QPainter &)> &shape)
{
    painter.setPen(QPen(markOutline, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    shape(painter);
    painter.setPen(QPen(markCore, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    shape(painter);
}

// A cross for the shown commune.
void drawCross(QPainter &painter, QPoint p)
{
    drawTwoTone(painter, [p](QPainter &on) {
        on.drawLine(p + QPoint(-3, 0), p + QPoint(3, 0));
        on.drawLine(p + QPoint(0, -3), p + QPoint(0, 3));
    });
}

// A square ring for the starting point: another shape, told apart without
// colour.
void drawRing(QPainter &painter, QPoint p)
{
    drawTwoTone(painter, [p](QPainter &on) { on.drawRect(QRect(p - QPoint(2, 2), QSize(4, 4))); });
}

} // namespace

void MapWidget::updateAround(std::optional<QPoint> point)
{
    if (point)
        update(QRect(*point - QPoint(markReach, markReach), QSize(2 * markReach + 1, 2 * markReach + 1)));
}

void MapWidget::setMark(std::optional<QPoint> point, const QString &name)
{
    updateAround(m_mark);
    const QString before = m_markName;
    m_mark = point;
    m_markName = point ? name : QString();
    updateAround(m_mark);
    if (m_markName != before)
        announceChange(this);
}

void MapWidget::setStartMark(std::optional<QPoint> point)
{
    updateAround(m_startMark);
    m_startMark = point;
    updateAround(m_startMark);
}

void MapWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    painter.drawImage(event->rect(), m_picture.image(), event->rect());
    // Drawn last but for the focus frame: the start under the commune, which
    // is what the user looked for.
    if (m_startMark)
        drawRing(painter, *m_startMark);
    if (m_mark)
        drawCross(painter, *m_mark);
    if (hasFocus()) {
        // Drawn on the screen only: the picture that fills and pixel reads
        // use stays as it is.
        painter.setPen(QPen(QColor(0, 0, 192), 2, Qt::DashLine));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
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
