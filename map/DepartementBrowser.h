#pragma once

#include "map/DeptNumber.h"

#include <QPointF>
#include <QString>

class FillColorGenerator;
class MapPicture;

// One step of the browser, wrapping inside 1..97: below 1 gives the integer
// 97, above 97 the integer 1.
DeptNumber stepDown(const DeptNumber &number);
DeptNumber stepUp(const DeptNumber &number);

enum class BrowserDirection { Down, Up }; // Command1 "<<", Command2 ">>"

// The window state a browser press reads and writes. deptNumber and seed are
// shared with the record display; deptName is the browser's own.
struct BrowserState
{
    DeptNumber deptNumber;
    QPointF seed;
    QString deptName;
};

// The captions a browser press leaves in Label5 and Label20.
struct BrowserCaptions
{
    QString label5;
    QString label20;
};

// A whole press of "<<" or ">>": steps deptNumber, looks its text up in the
// département table (a match moves the seed point and names it; no match
// keeps both), shows the stored map again and fills at the seed point.
BrowserCaptions browserPress(BrowserDirection direction, BrowserState &state, MapPicture &map,
                             FillColorGenerator &colors);
