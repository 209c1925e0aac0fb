#pragma once

class Form1;

// What a screen reader hears of the main window: a French name and
// description for every control, from one table. Buttons with the same
// caption get names that tell them apart; the six locator letters read as
// one text; the map names the département it shows; frames, lines and empty
// labels are left out.
void setAccessibleTexts(Form1 &form);
