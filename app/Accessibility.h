#pragma once

class Form1;
class QWidget;

// What a screen reader hears of the windows: a French name and description
// for every control, from one table per window. Buttons with the same
// caption get names that tell them apart; the six locator letters read as
// one text; the map names the département it shows; frames, lines and empty
// labels are left out.
void setAccessibleTexts(Form1 &form);
void setAboutAccessibleTexts(QWidget &about);
