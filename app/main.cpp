#include "app/Form1.h"
#include "app/Startup.h"
#include "app/StartupFailure.h"
#include "communes/DatabaseError.h"

#include <QApplication>
#include <QScreen>

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
        reportStartupFailure(error.message());
        return 1;
    } catch (const std::bad_alloc &) {
        reportStartupFailure(QStringLiteral("Mémoire insuffisante pour ouvrir « %1 ».").arg(dataPath));
        return 1;
    }

    if (const QScreen *screen = form.screen())
        form.move(screen->availableGeometry().center() - form.rect().center());
    form.show();
    return app.exec();
}
