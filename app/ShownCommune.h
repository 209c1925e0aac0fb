#pragma once

#include "app/StartingPoint.h"

#include <QLocale>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>

class PostalCodes;
class Recordset;
class SearchMatches;

// The commune the window shows, as plain values: what the labels, the copy,
// the screen readers and the map's mark read.
struct ShownCommune
{
    int row = -1;                 // the table row shown
    QString name;                 // INSEE's writing where the store has it, else the stored name
    QString storedName;           // as the table stores it, which the online map knows
    QString postcode;             // the code that matched, else the commune's own
    QStringList postcodes;        // every code of the commune, the shown one first
    std::optional<QString> insee; // none when the file has no INSEE code
    QString departement;          // its name
    QString longitudeText;        // the stored values as text in the user's locale
    QString latitudeText;
    std::optional<double> longitude; // the stored values as numbers
    std::optional<double> latitude;
    QString mapNumber;    // the number the département table and the map know
    QString locator;      // six characters, six dashes off the grid; empty before the first
    QString otherName;    // the other name it was found by, and its way; empty when none
    QString distanceLine; // from the starting point; empty when there is none
    // Why a field could not be read (a NULL), the first one; its value is
    // the previous commune's. Empty when every field was read.
    QString unreadableField;
    // How many of the five fields (name, longitude, latitude, postal code,
    // département) were read before the first that could not be.
    int fieldsRead = 5;
    // Why no locator could be made of the position; the locator is the
    // previous one. Empty when it was made.
    QString unreadablePosition;

    // The position, when both numbers are read and lie on the globe.
    std::optional<GeoPoint> position() const;
    // (longitude, latitude), when both numbers are read.
    std::optional<QPointF> lonLat() const;
};

// Builds the shown commune from the record `records` stands on, field by
// field: a field that cannot be read keeps its value in `previous`. The
// search's answer, when the record is the commune it found, gives the postal
// code that matched and the other name; `postcodes` every code of every
// commune, once the whole table is read.
ShownCommune present(const Recordset &records, const SearchMatches *answer, const PostalCodes *postcodes,
                     const std::optional<StartingPoint> &from, const ShownCommune &previous = {},
                     const QLocale &locale = QLocale());

// What a display that stops at its first unreadable field shows: the fields
// `read` before it, the rest of `previous`.
ShownCommune firstFieldsOf(const ShownCommune &read, const ShownCommune &previous);

// The postal codes of the commune at `records`' current row, `shown` first.
QStringList postcodesOf(const Recordset &records, const PostalCodes *postcodes, const QString &shown);

// The distance line of a shown position; empty without a starting point or
// a position.
QString distanceLine(const std::optional<StartingPoint> &from, std::optional<GeoPoint> shown);

// The shown commune as one line of text for the clipboard: its fields
// separated by tabs, so that a spreadsheet puts each in a cell of its own;
// the postal codes in one field, separated by blanks; the distance line
// last, when there is one. Numbers are written with a point whatever the
// locale, as a spreadsheet or a script reads them.
QString recordLine(const ShownCommune &shown);

// One value as a copy gives it: the coordinates with a point, as above.
QString copiedLongitude(const ShownCommune &shown);
QString copiedLatitude(const ShownCommune &shown);

// The starting point Ctrl+D takes: the place typed (a locator's square, the
// coordinates), named by the text searched, while the commune shown is one
// it found; else the commune shown. Either with the map number of the shown
// commune's département, where its ring is drawn. None without a position.
std::optional<StartingPoint> startingPointOf(const ShownCommune &shown, std::optional<GeoPoint> typed,
                                             const QString &searched);
