#pragma once

#include <QPoint>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// The map numbers of metropolitan France end here: every number above is
// overseas, which the map shows as one sea area.
constexpr int lastMetropolitanNumber = 95;

// One département as the map knows it: its number, the name the window shows
// and a seed point inside its white area of the map picture.
struct DepartementRow
{
    int number = 0; // 1..95; 0 for the overseas row
    const char *name = "";
    int x = 0;
    int y = 0;

    QString displayName() const { return QString::fromLatin1(name); }
    QPoint seed() const { return {x, y}; }
    bool isOverseas() const { return number == 0; }
};

// Rows 1..95 in ascending order, then the overseas row "D.O.M" at (5, 5).
const std::array<DepartementRow, 96> &DepartementTable();

// The row for a département number given as text. The key is compared as
// text: "1" matches, "01" and " 1" do not; any text that sorts after "95"
// code unit by code unit ("96", "97", "99", "950") is the overseas row.
std::optional<DepartementRow> LookupDepartement(QStringView numberText);
