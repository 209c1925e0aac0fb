#pragma once

#include "app/ListWindow.h"
#include "history/CommuneEvents.h"

#include <optional>
#include <vector>

// The history of the shown commune since 1943, one change a line (date,
// kind, the commune before and after with their INSEE codes), oldest first;
// opened by Ctrl+H or from the menu of the commune's name, read by screen
// readers as the list of matches is. Esc closes it.
class HistoryList : public ListWindow
{
    Q_OBJECT
public:
    explicit HistoryList(QWidget *owner);

    // Fills the list with the events of `commune` (none: the file tells no
    // history) and opens it under `anchor`, as wide as the window.
    void open(const QString &commune, const std::optional<std::vector<CommuneEvent>> &events, QWidget *anchor);
};
