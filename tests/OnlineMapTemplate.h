#pragma once

#include <QString>

// The online map's address as the window has always written it, around the
// commune name: what the tests expect in Text1 and in the address opened.
inline const QString addressPrefix =
    QStringLiteral("http://www.viamichelin.fr/viamichelin/fra/dyn/controller/mapPerformPage"
                   "?expressMap=false&act=&pim=true&strAddress=&strCP=&strLocation=");
inline const QString addressSuffix = QStringLiteral("%20&%20%20&strCountry=1424&x=33&y=11");
