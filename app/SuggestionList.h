#pragma once

#include "names/Suggestions.h"

#include <QListWidget>
#include <vector>

class Recordset;

// The names proposed under the search box: while typing, and after a search
// that found nothing. It never takes the focus, so that typing goes on in the
// box; the box hands it Up, Down, Enter and Esc (Form1). A choice, by a click
// or Enter on the highlighted line, is told by `chosen`.
class SuggestionList : public QListWidget
{
    Q_OBJECT
public:
    explicit SuggestionList(QWidget *owner);

    // Lists the suggestions, each with its département and postal code,
    // none highlighted, under `anchor`; closes when there are none.
    void open(const Recordset &records, std::vector<Suggestion> suggestions, QWidget *anchor);
    const std::vector<Suggestion> &suggestions() const { return m_suggestions; }

    // Up and Down from the search box: moves the highlight, and says so to
    // screen readers.
    void moveHighlight(int step);
    // Enter from the search box: the highlighted suggestion is chosen; false
    // when none is highlighted.
    bool chooseHighlighted();
    // A key of the search box while the list is open: Up and Down move the
    // highlight, Esc closes the list (and the window stays), Enter takes the
    // highlighted suggestion, or closes the list for the search as typed.
    // True when the key was for the list alone.
    bool takeKey(int key);

signals:
    void chosen(const Suggestion &suggestion);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    std::vector<Suggestion> m_suggestions;
};
