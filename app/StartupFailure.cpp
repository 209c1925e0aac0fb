#include "app/StartupFailure.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

void reportStartupFailure(const QString &message)
{
    std::fprintf(stderr, "Topovil : %s\n", qPrintable(message));
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::critical(nullptr, QStringLiteral("Topovil"), message);
}
