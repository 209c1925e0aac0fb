#pragma once

#include "app/ListWindow.h"

class Recordset;
class SearchMatches;

// The list of the communes a search found (name, postal code, département),
// opened under the search box by the Down arrow or a right click. A choice,
// by a click or Enter, is told by `chosen` with its position among the
// matches; Esc closes the list and changes nothing.
class MatchList : public ListWindow
{
    Q_OBJECT
public:
    explicit MatchList(QWidget *owner);

    // Fills the list with the first matches, the shown one selected, and
    // opens it under `anchor`.
    void open(const Recordset &records, const SearchMatches &matches, QWidget *anchor);

signals:
    void chosen(int index);
};
