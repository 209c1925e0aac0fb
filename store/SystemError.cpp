#include "store/SystemError.h"

#include <cerrno>

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
