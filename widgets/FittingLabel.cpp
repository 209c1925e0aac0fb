#include "widgets/FittingLabel.h"

#include "widgets/WholeNameFont.h"

#include <QPainter>

FittingLabel::FittingLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

QFont FittingLabel::shownFont() const
{
    return wholeNameFont(font(), text(), contentsRect().width());
}

bool FittingLabel::wraps() const
{
    return !nameFits(shownFont(), text(), contentsRect().width());
}

void FittingLabel::paintEvent(QPaintEvent *)
{
    // Drawn here rather than by QLabel, which would cut a long line at both
    // ends when centred.
    QPainter painter(this);
    painter.setFont(shownFont());
    painter.setPen(palette().color(foregroundRole()));
    const int flags = int(alignment()) | (wraps() ? Qt::TextWordWrap : Qt::TextSingleLine);
    painter.drawText(contentsRect(), flags, text());
}
