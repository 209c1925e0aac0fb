#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The ways people write a commune that its table names otherwise.

// Both read the search text in its folded form (NameFolding.h), which the
// query made once.

// « Paris 15e », « PARIS 15 », « Marseille 1er arrondissement »: the name of
// that municipal arrondissement as autres_noms holds it (PARIS 15E
// ARRONDISSEMENT), or an empty text for anything else.
QString arrondissementName(QStringView folded);

// The INSEE code of a municipal arrondissement (75101 to 75120, 13201 to
// 13216, 69381 to 69389): its name as arrondissementName gives it, or an
// empty text for any other code.
QString arrondissementOfInseeCode(QStringView typed);

// The text with its leading article (LE, LA, LES, L') taken away, or with
// each of them put before it when it has none.
QStringList articleVariants(QStringView folded);

// 75000, 69000, 13000, the codes people write for a whole city with
// arrondissements, which no post office bears: the city's name, or an
// empty text.
QString cityOfWholeCityCode(QStringView typed);
