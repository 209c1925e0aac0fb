#include "widgets/HandPointer.h"

#include <QPixmap>

QCursor handPointer()
{
    // The hot spot is the tip of the index finger in hand.png.
    return QCursor(QPixmap(QStringLiteral(":/hand.png")), 5, 0);
}
