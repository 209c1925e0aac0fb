#pragma once

#include <QString>

// Tells a start-up failure once, in French: on standard error, and in a
// message box where someone can press its button (not offscreen, not in CI).
// The caller then ends the program with status 1.
void reportStartupFailure(const QString &message);
