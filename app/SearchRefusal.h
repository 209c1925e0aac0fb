#pragma once

#include <QString>

class QLabel;
class QLineEdit;

// The two hint lines under the search box, and the box itself.
struct HintLines
{
    QLabel *hint;       // Label7
    QLabel *secondLine; // Label2
    QLineEdit *box;     // Text7
};

// A search pattern the matcher refused is explained in the window itself:
// the hint under the search box turns red and gives the reason, over both
// hint lines, until the next key or click in the box brings the hint back.
// No window opens over the controls.
void showSearchRefusal(const HintLines &lines, const QString &reason);

// Gives the hint back at once, when a refusal is shown.
void endSearchRefusal(const HintLines &lines);
