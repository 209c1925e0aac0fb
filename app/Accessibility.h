#pragma once

class QListWidget;
class QWidget;
struct ShownCommune;
struct WindowState;

// What a screen reader hears of the main window: a French name and
// description for every control, from one table. Buttons with the same
// caption get names that tell them apart; the six locator letters read as
// one text; the map names the département it shows; frames, lines and empty
// labels are left out. The locator's caption and the map read what the
// window shows from its model when they are read: the six letters (the
// layout's before the first record), and « PARIS (75) » for the département
// the map names (nothing when it names none).
void setAccessibleTexts(QWidget &window, QWidget *locatorCaption, QWidget *map, const ShownCommune &shown,
                        const WindowState &state);

// A list under the search box, once closed: its lines are let go, so that
// screen readers, which take them for shown while they exist, no longer
// list them. Later, when no event of the closing is still being handled.
void forgetLinesOfClosedList(QListWidget *list);
