#pragma once

#include <QString>
#include <QUrl>

// The address of the online map centred on a commune, as written to the
// hidden Text1: the commune caption is inserted exactly as displayed, blanks
// and all.
QString onlineMapAddress(const QString &communeCaption);

// The address actually opened. Text1 holds the caption unescaped, so a name
// carrying '&', '#', '?', '%' or '=' would cut or rewrite the query; the
// commune name is percent-encoded in its place and the template's own
// escapes are kept as they are.
QUrl onlineMapUrl(const QString &addressFromText1, const QString &communeCaption);
