#include "widgets/WindowSystemMessages.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <unistd.h>

namespace {

bool starting = false;
QtMessageHandler qtHandler = nullptr;

QString environmentText(const char *name)
{
    const QByteArray value = qgetenv(name);
    return value.isNull() ? QStringLiteral("non défini") : QStringLiteral("« %1 »").arg(QString::fromLocal8Bit(value));
}

[[noreturn]] void endWith(const QString &message)
{
    const QByteArray bytes = message.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
    _exit(1);
}

[[noreturn]] void failedToStart()
{
    const QString message =
        QStringLiteral("Topovil : la fenêtre ne peut pas s'ouvrir : aucun écran ne répond (DISPLAY %1, "
                       "WAYLAND_DISPLAY %2, QT_QPA_PLATFORM %3). Vérifiez que l'écran nommé existe et que "
                       "Topovil peut s'y connecter. Sans écran, « topovil --chercher TEXTE » et « topovil --lot "
                       "ENTREE » répondent.\n")
            .arg(environmentText("DISPLAY"), environmentText("WAYLAND_DISPLAY"), environmentText("QT_QPA_PLATFORM"));
    endWith(message);
}

void filter(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // Qt goes on without the thread it could not start, and whatever waits
    // for that thread (the accessibility bus, the pictures, the table's
    // reading) waits for ever: the window could never answer.
    if (text.startsWith(QLatin1String("QThread::start: Thread creation error")))
        endWith(QStringLiteral("Topovil : la fenêtre ne peut pas démarrer : le système refuse un fil d'exécution de "
                               "plus (trop de processus pour cet utilisateur, ou trop peu de mémoire permise).\n"));
    if (starting) {
        if (type == QtFatalMsg)
            failedToStart();
        return; // Qt's account of the plugins it tried: the French message says what matters
    }
    if (text == QLatin1String("This plugin does not support setting window masks"))
        return;
    qtHandler(type, context, text);
}

} // namespace

void holdWindowSystemMessages()
{
    starting = true;
    qtHandler = qInstallMessageHandler(filter);
}

void windowSystemStarted()
{
    starting = false;
}
