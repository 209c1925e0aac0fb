#pragma once

class Form1;

// How many communes the last search found, where the hint under the search
// box stands: « 2 sur 11 · F3 suivante » while there are several, the hint
// itself when there are one or none.
void showMatchCount(Form1 &form);
