#pragma once

#include "app/StartingPoint.h"
#include "map/DeptNumber.h"

#include <QColor>
#include <QPointF>
#include <QString>
#include <optional>

class FillColorGenerator;
class MapPicture;
enum class BrowserDirection;

// Where the search stands. The search button shows it: green at rest, red
// once a search skipped records, until the display that takes the found
// commune's département turns it green again.
enum class SearchStand { AtRest, Skipped };

inline QColor searchButtonColor(SearchStand stand)
{
    return stand == SearchStand::Skipped ? QColor(255, 0, 0) : QColor(0, 255, 0);
}

// The département the map names under it (Label5, Label20): the shown
// commune's, the one clicked, or the browser's, whichever came last.
struct MapCaption
{
    QString number;
    QString name;
};

// The shown commune's point on the map: in the inset of its département's
// number, at its position, named for screen readers.
struct CommuneMark
{
    QString mapNumber;
    std::optional<QPointF> lonLat; // none: the position could not be read, no mark
    QString name;
};

// What the window keeps between two events, besides the commune it shows.
struct WindowState
{
    DeptNumber deptNumber{0}; // the integer 0 at start, then a number text or a number
    QPointF seed;             // seedX, seedY: the map point the fill starts from (single precision)
    QString deptName;         // the browser's own
    QString deptText;         // Text9: the département number of the record display
    MapCaption mapCaption;    // the layout's captions until then
    // The shown commune's mark; a click or a browser step shows a
    // département, and takes it away.
    std::optional<CommuneMark> communeMark;
    bool onlineMapOn = true;                    // off while the last display's département is above 95
    std::optional<QColor> swatch;               // Shape6: the colour of the last search's fill
    std::optional<StartingPoint> startingPoint; // where distances are told from
    QString searched;                           // the text the shown matches were found by
    SearchStand search = SearchStand::AtRest;
    bool suggestAfterBuild = false;   // typed while the suggestion index was being made
    std::optional<QPointF> mapClick;  // Text6, Text8: the last point clicked on the map
    std::optional<QString> onlineMap; // Text1: the last online-map address
};

// The record display takes the département number of Text9: its number, its
// caption beside the browser, its seed point (kept when the number has no
// row of the table) and the online-map button, off for the overseas ones.
void takeDepartement(WindowState &state, const QString &number);

// A click on the map at `position` fills and names the département under
// it, or names none; the shown commune loses its mark.
void clickDepartement(WindowState &state, MapPicture &map, FillColorGenerator &colors, QPointF position);

// A press of the département browser; the shown commune loses its mark.
void pressBrowser(WindowState &state, BrowserDirection direction, MapPicture &map, FillColorGenerator &colors);

// « PARIS (75) », the département the map names; empty when it names none.
QString mapDepartementText(const WindowState &state);
