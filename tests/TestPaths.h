#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QtTest>

// Where the shared source data and the Access fixtures are, and where this
// checkout is.
inline QString sharedDir()
{
    return QStringLiteral(TOPOVIL_SHARED_DIR);
}
inline QString sourceDir()
{
    return QStringLiteral(TOPOVIL_SOURCE_DIR);
}
inline QString fixturePath(const QString &relative)
{
    return sharedDir() + "/fixtures/" + relative;
}
inline QString shippedStorePath()
{
    return sourceDir() + "/data/insee.sqlite";
}

// Skips the current test, with the reason, when a file from ../shared is absent.
#define REQUIRE_SHARED_FILE(path)                                                                                      \
    do {                                                                                                               \
        if (!QFileInfo::exists(path))                                                                                  \
            QSKIP(qPrintable(QStringLiteral("%1 is absent (no ../shared here)").arg(path)));                           \
    } while (0)
