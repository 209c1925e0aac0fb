#include "app/Form1.h"
#include "communes/CommuneDatabase.h"
#include "communes/DatabaseError.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

// A start-up failure is told once, in French, then the program ends with
// status 1. Where nobody can press a button (offscreen, CI) it goes to
// standard error only.
static int failStartup(const QString &message)
{
    std::fprintf(stderr, "Topovil : %s\n", qPrintable(message));
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::critical(nullptr, QStringLiteral("Topovil"), message);
    return 1;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Topovil"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));

    Form1 form;
    const QString dataPath = communeDataPath(QCoreApplication::applicationDirPath());
    try {
        form.Form_Load(dataPath);
    } catch (const DatabaseError &error) {
        return failStartup(error.message());
    }

    form.show();
    return app.exec();
}
