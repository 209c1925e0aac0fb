#include "app/Form1View.h"

#include "app/Form1Frame.h"
#include "app/ShownCommune.h"
#include "app/WindowState.h"
#include "map/MapProjection.h"
#include "store/NumberText.h"
#include "store/PostalCodes.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MapWidget.h"
#include "widgets/ShapeWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace {

// The commune's other postal codes, beside the one shown, listed in full
// where there is no room on the line: the tool tip and what screen readers
// read.
void showPostcodes(QLabel *code, QLabel *more, const QStringList &codes)
{
    const QString all = codes.join(QStringLiteral(", "));
    more->setText(otherPostcodesText(codes));
    more->setAccessibleName(codes.size() > 1 ? QStringLiteral("%1 autres codes postaux").arg(codes.size() - 1)
                                             : QString());
    code->setToolTip(codes.size() > 1 ? QStringLiteral("Codes postaux : %1").arg(all) : QString());
    more->setToolTip(code->toolTip());
    code->setAccessibleDescription(codes.size() > 1
                                       ? QStringLiteral("Codes postaux de la commune affichée : %1").arg(all)
                                       : QStringLiteral("Code postal de la commune affichée"));
}

// The commune's own point, in the inset of its own département (the one the
// fill lights): none overseas, none for a position the map cannot show.
std::optional<QPoint> markPoint(const MapWidget *map, const std::optional<CommuneMark> &mark)
{
    if (!mark || !mark->lonLat)
        return std::nullopt;
    return communeMapPoint(map->picture().stored(), mark->mapNumber, *mark->lonLat);
}

} // namespace

void render(Form1Controls &controls, const ShownCommune &shown, const WindowState &state,
            std::optional<SearchStand> rendered)
{
    Form1Controls &c = controls;
    c.Label1->setText(shown.name);
    c.Label11->setText(shown.longitudeText);
    c.Label12->setText(shown.latitudeText);
    c.Label10->setText(shown.postcode);
    c.Label8->setText(shown.departement);
    QLabel *const letters[] = {c.Label14, c.Label15, c.Label16, c.Label17, c.Label18, c.Label19};
    for (int i = 0; i < 6 && shown.locator.size() == 6; ++i)
        letters[i]->setText(shown.locator.mid(i, 1));
    showPostcodes(c.Label10, c.postcodesMore, shown.postcodes);
    // A user's own file may have no INSEE code: the line is left out.
    c.inseeCaption->setVisible(shown.insee.has_value());
    c.inseeCode->setVisible(shown.insee.has_value());
    c.inseeCode->setText(shown.insee.value_or(QString()));
    showDistanceLine(c.distanceLabel, shown.distanceLine);

    c.Text9->setText(state.deptText);
    c.Label5->setText(state.mapCaption.number);
    c.Label20->setText(state.mapCaption.name);
    if (rendered != state.search)
        c.cherche->setBackColor(searchButtonColor(state.search));
    c.CmdCarte->setEnabled(state.onlineMapOn);
    if (state.swatch)
        c.Shape6->setBackColor(*state.swatch);
    if (state.mapClick) {
        c.Text6->setText(shortestText(float(state.mapClick->x())));
        c.Text8->setText(shortestText(float(state.mapClick->y())));
    }
    if (state.onlineMap)
        c.Text1->setText(*state.onlineMap);
    c.Picture1->setMark(markPoint(c.Picture1, state.communeMark),
                        state.communeMark ? state.communeMark->name : QString());
    const std::optional<StartingPoint> &start = state.startingPoint;
    markStartingPoint(c.Picture1, start ? start->mapNumber : QString(),
                      start ? std::optional<QPointF>({start->position.longitude, start->position.latitude})
                            : std::nullopt);
}

void markStartingPoint(MapWidget *map, QStringView deptNumberText, std::optional<QPointF> lonLat)
{
    map->setStartMark(lonLat ? communeMapPoint(map->picture().stored(), deptNumberText, *lonLat) : std::nullopt);
}

QString copiedValue(const Form1Controls &controls, const QLabel *clicked, const ShownCommune &shown)
{
    const Form1Controls &c = controls;
    if (clicked == c.Label10 || clicked == c.postcodesMore)
        return shown.postcode;
    if (clicked == c.Label11 || clicked == c.Label12)
        return clicked == c.Label11 ? copiedLongitude(shown) : copiedLatitude(shown);
    if (clicked == c.inseeCode)
        return shown.insee.value_or(QString());
    if (clicked == c.distanceLabel)
        return shown.distanceLine;
    return clicked == c.Label8 ? shown.departement : shown.name;
}

void popupValueMenu(QMenu *&menu, QWidget *owner, const QString &value, const QStringList &allCodes,
                    const std::function<void()> &history, QPoint at)
{
    if (!menu) {
        menu = new QMenu(owner);
        menu->setObjectName(QStringLiteral("copyMenu"));
    }
    menu->clear();
    menu->addAction(QStringLiteral("Copier"), owner, [value] { copyText(value); });
    if (history)
        menu->addAction(QStringLiteral("Histoire de la commune"), QKeySequence(Qt::CTRL | Qt::Key_H), owner, history);
    if (allCodes.size() > 1)
        menu->addAction(QStringLiteral("Copier tous les codes postaux"), owner,
                        [allCodes] { copyText(allCodes.join(QLatin1Char(' '))); });
    menu->popup(at);
}

void popupLocatorMenu(QMenu *&menu, QWidget *owner, std::function<void()> take, std::function<void()> clear,
                      bool canTake, bool canClear, QPoint at)
{
    if (!menu) {
        menu = new QMenu(owner);
        menu->setObjectName(QStringLiteral("locatorMenu"));
        menu->addAction(QStringLiteral("Prendre comme point de départ"), owner, std::move(take));
        menu->addAction(QStringLiteral("Effacer le point de départ"), owner, std::move(clear));
    }
    const QList<QAction *> actions = menu->actions();
    actions[0]->setEnabled(canTake);
    actions[1]->setEnabled(canClear);
    menu->popup(at);
}
