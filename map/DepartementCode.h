#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// A département has two spellings, each for its own use.
//
// Its map number, the text the window shows and looks up in the map's table
// (DepartementTable.h): a decimal number without leading zero, « 8 », « 75 »,
// and « 20 » for both halves of Corsica, which share a map.
//
// Its code, as INSEE and every list of France write it: two characters,
// « 08 », « 75 », « 2A » and « 2B » in Corsica, three overseas (« 971 »).

// The map number of a commune: the one its postal code begins with, except
// for the few communes whose mail goes through a post office of a
// neighbouring département (RIBOUX, Var, 13780): those take their own, named
// by their departement field, when the map's table knows that name.
QString departementMapNumber(QStringView codepos, QStringView departementName);

// The code of a commune's département: from its INSEE code when the file has
// one, else from its postal code (2A and 2B told apart by the département's
// name, 971 to 976 with three digits). Empty when neither tells.
QString departementCode(QStringView inseeCode, QStringView codepos, QStringView departementName);

// The code a user means by a typed département, « 1 », « 01 », « 2a »,
// « 971 »; empty for a text that is no département code (a name).
QString departementCodeOfText(QStringView typed);

// The départements a postal code belongs to by its first digits: one, or
// both halves of Corsica for a code starting with 20. Empty for a text that
// is no postal code.
QStringList departementCodesOfPostcode(QStringView postcode);
