#pragma once

#include <QString>

class Form1;

// A search pattern the matcher refused is explained in the window itself:
// the hint under the search box turns red and gives the reason, over both
// hint lines, until the next key or click in the box brings the hint back.
// No window opens over the controls.
void showSearchRefusal(Form1 &form, const QString &reason);

// Gives the hint back at once, when a refusal is shown.
void endSearchRefusal(Form1 &form);
