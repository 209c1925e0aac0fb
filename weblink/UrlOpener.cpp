#include "weblink/UrlOpener.h"

#include <QDesktopServices>

namespace {

UrlOpenerFn &currentOpener()
{
    static UrlOpenerFn opener;
    return opener;
}

} // namespace

void setUrlOpener(UrlOpenerFn opener)
{
    currentOpener() = std::move(opener);
}

bool openUrl(const QUrl &url)
{
    if (const UrlOpenerFn &opener = currentOpener())
        return opener(url);
    return QDesktopServices::openUrl(url);
}
