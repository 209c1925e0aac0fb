#include "store/SystemError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <unistd.h>

QString systemErrorText(int code)
{
    switch (code) {
    case ENOENT:
        return QStringLiteral("fichier introuvable");
    case EACCES:
    case EPERM:
        return QStringLiteral("accès refusé");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("trop de fichiers sont déjà ouverts (limite du système atteinte)");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    case EIO:
        return QStringLiteral("erreur de lecture du disque");
    case EAGAIN:
        return QStringLiteral("rien n'est à lire pour l'instant (entrée en mode non bloquant)");
    case EBADF:
        return QStringLiteral("l'entrée est fermée");
    default:
        return QStringLiteral("erreur système %1").arg(code);
    }
}

namespace {

const char *outOfMemoryMessage = "";
int exitStatus = 2;

[[noreturn]] void onTerminate()
{
    bool outOfMemory = false;
    try {
        if (const std::exception_ptr current = std::current_exception())
            std::rethrow_exception(current);
    } catch (const std::bad_alloc &) {
        outOfMemory = true;
    } catch (...) {
    }
    if (!outOfMemory)
        std::abort();
    // Nothing may be allocated now: the text is written as it is.
    const ssize_t written = write(STDERR_FILENO, outOfMemoryMessage, std::strlen(outOfMemoryMessage));
    (void)written;
    _exit(exitStatus);
}

} // namespace

void exitOnUncaughtOutOfMemory(const char *message, int status)
{
    outOfMemoryMessage = message;
    exitStatus = status;
    std::set_terminate(onTerminate);
}
