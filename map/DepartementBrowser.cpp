#include "map/DepartementBrowser.h"

#include "departements/DepartementTable.h"
#include "map/MapPicture.h"

namespace {

constexpr long long firstNumber = 1;
constexpr long long lastNumber = 97; // 96 and 97 are the overseas row

// A step keeps an integer an integer; anything read from a text or already
// fractional is carried on as a double.
DeptNumber addOne(const DeptNumber &number, int delta)
{
    if (const auto *whole = std::get_if<long long>(&number.value()))
        return DeptNumber(*whole + delta);
    return DeptNumber(number.toNumber() + delta);
}

} // namespace

DeptNumber stepDown(const DeptNumber &number)
{
    const DeptNumber next = addOne(number, -1);
    return next.toNumber() < firstNumber ? DeptNumber(lastNumber) : next;
}

DeptNumber stepUp(const DeptNumber &number)
{
    const DeptNumber next = addOne(number, +1);
    return next.toNumber() > lastNumber ? DeptNumber(firstNumber) : next;
}

BrowserCaptions browserPress(BrowserDirection direction, BrowserState &state, MapPicture &map,
                             FillColorGenerator &colors)
{
    state.deptNumber = direction == BrowserDirection::Down ? stepDown(state.deptNumber) : stepUp(state.deptNumber);
    const QString label5 = state.deptNumber.toText();
    if (const auto row = LookupDepartement(label5)) {
        state.seed = QPointF(row->x, row->y);
        state.deptName = row->displayName();
    }
    map.reset();
    map.fillAtPoint(state.seed, colors);
    return {label5, state.deptName};
}
