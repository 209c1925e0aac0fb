#pragma once

#include "app/Form1Controls.h"

#include <QPointF>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>

class QMenu;
class QWidget;
struct ShownCommune;
struct WindowState;
enum class SearchStand;

// Writes the shown commune and the window's state into the controls: the
// one place the record's labels, the département captions, the hidden boxes,
// the search button's colour and the map's marks are written.
// The search button takes the colour of where the search stands when that
// changed since `rendered`, and is otherwise left as it is.
void render(Form1Controls &controls, const ShownCommune &shown, const WindowState &state,
            std::optional<SearchStand> rendered = std::nullopt);

// The ring on the starting point of distances, in the inset of its
// département's number; none without a position.
void markStartingPoint(MapWidget *map, QStringView deptNumberText, std::optional<QPointF> lonLat);

// The value a right click on a label of the record copies, as the copy of
// the record writes it.
QString copiedValue(const Form1Controls &controls, const QLabel *clicked, const ShownCommune &shown);

// The menu of a value, made once as `menu`, a child of `owner`, opened at
// `at`: « Copier » the value; the name's history when `history` is given;
// every postal code when there are several in `allCodes`.
void popupValueMenu(QMenu *&menu, QWidget *owner, const QString &value, const QStringList &allCodes,
                    const std::function<void()> &history, QPoint at);

// The locator's menu, made once as `menu`: take the shown commune as the
// starting point, or clear it, each when it can be done.
void popupLocatorMenu(QMenu *&menu, QWidget *owner, std::function<void()> take, std::function<void()> clear,
                      bool canTake, bool canClear, QPoint at);
