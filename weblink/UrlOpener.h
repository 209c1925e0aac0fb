#pragma once

#include <QUrl>
#include <functional>

// Opening a web address in the user's browser goes through one replaceable
// function, so that tests can record the addresses instead of starting a
// browser.
using UrlOpenerFn = std::function<bool(const QUrl &)>;

// Installs the opener used by openUrl; an empty function restores the
// system's (QDesktopServices::openUrl).
void setUrlOpener(UrlOpenerFn opener);

// Opens the address with the installed opener and says whether it was taken.
bool openUrl(const QUrl &url);
