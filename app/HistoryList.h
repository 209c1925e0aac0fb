#pragma once

#include "app/ListWindow.h"
#include "history/CommuneEvents.h"
#include "history/CommuneOnDate.h"

#include <optional>
#include <vector>

// The history of the shown commune since 1943, one change a line (date,
// kind, the commune before and after with their INSEE codes), oldest first;
// opened by Ctrl+H or from the menu of the commune's name, read by screen
// readers as the list of matches is. Esc closes it.
//
// Where the file keeps what the communes were between two changes, the
// first line asks for a date: the digits and « - » typed while the list is
// open write it there (Backspace erases), and once it is a date the lines
// under it tell what the commune was then, name, code, kind and département
// of that day (DateAnswer.h).
class HistoryList : public ListWindow
{
    Q_OBJECT
public:
    explicit HistoryList(QWidget *owner);

    // Fills the list with the events of `commune` (none: the file tells no
    // history) and opens it under `anchor`, as wide as the window; the date
    // is asked when `states` are there and available.
    void open(const TodayCommune &commune, const std::optional<std::vector<CommuneEvent>> &events,
              const CommuneStates *states, QWidget *anchor);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showDate();
    void fitHeight();

    const CommuneStates *m_states = nullptr; // the owner's, while the list is open
    TodayCommune m_commune;
    QString m_typed;
    int m_dateLines = 0; // the first lines, which tell the date
};
