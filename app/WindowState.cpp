#include "app/WindowState.h"

#include "departements/Departement.h"
#include "departements/DepartementTable.h"
#include "map/DepartementBrowser.h"
#include "map/MapClick.h"

void takeDepartement(WindowState &state, const QString &number)
{
    state.deptText = number;
    state.deptNumber = DeptNumber(number);
    state.mapCaption.number = number;
    if (const auto row = LookupDepartement(number))
        state.seed = QPointF(float(row->x), float(row->y));
    // The online map cannot place an overseas commune (97 and above), so the
    // button is off for those only; the next metropolitan commune, Val-d'Oise
    // included, brings it back.
    state.onlineMapOn = !Departement::isOverseasMapNumber(state.deptNumber.toNumber());
}

void clickDepartement(WindowState &state, MapPicture &map, FillColorGenerator &colors, QPointF position)
{
    // Every button does the same; the département is named by the seed
    // point that the fill coloured.
    const ClickResult clicked = clickMap(map, colors, position);
    state.communeMark.reset();
    state.mapCaption = {clicked.number, clicked.name};
    state.mapClick = position;
}

void pressBrowser(WindowState &state, BrowserDirection direction, MapPicture &map, FillColorGenerator &colors)
{
    BrowserState browser{state.deptNumber, state.seed, state.deptName};
    const BrowserCaptions captions = browserPress(direction, browser, map, colors);
    state.deptNumber = browser.deptNumber;
    state.seed = QPointF(float(browser.seed.x()), float(browser.seed.y()));
    state.deptName = browser.deptName;
    state.communeMark.reset();
    state.mapCaption = {captions.label5, captions.label20};
}

QString mapDepartementText(const WindowState &state)
{
    const MapCaption &caption = state.mapCaption;
    return caption.number.isEmpty() ? QString() : QStringLiteral("%1 (%2)").arg(caption.name, caption.number);
}
