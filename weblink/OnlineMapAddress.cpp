#include "weblink/OnlineMapAddress.h"

#include <QByteArray>

namespace {

const QString addressPrefix = QStringLiteral("http://www.viamichelin.fr/viamichelin/fra/dyn/controller/mapPerformPage"
                                             "?expressMap=false&act=&pim=true&strAddress=&strCP=&strLocation=");
const QString addressSuffix = QStringLiteral("%20&%20%20&strCountry=1424&x=33&y=11");

// Everything but the unreserved characters is escaped, so no character of a
// name can end the query item it sits in.
QByteArray encodedName(const QString &name)
{
    return QUrl::toPercentEncoding(name);
}

} // namespace

QString onlineMapAddress(const QString &communeCaption)
{
    return addressPrefix + communeCaption + addressSuffix;
}

QUrl onlineMapUrl(const QString &addressFromText1, const QString &communeCaption)
{
    // Text1 always holds what onlineMapAddress wrote; should it hold anything
    // else, that is opened as well as it can be read.
    if (addressFromText1 != onlineMapAddress(communeCaption))
        return QUrl(addressFromText1, QUrl::TolerantMode);
    const QString encoded = addressPrefix + QString::fromLatin1(encodedName(communeCaption)) + addressSuffix;
    // Already encoded: StrictMode keeps every escape as it is instead of
    // encoding the '%' of the template's "%20" a second time.
    return QUrl(encoded, QUrl::StrictMode);
}
