#pragma once

#include <QString>

// What a failed open or read of a file means, in French, from the system's
// error number: the user learns the cause (« trop de fichiers ouverts »),
// not a number.
QString systemErrorText(int code);
