#include "widgets/OpenFileLimit.h"

#include <sys/resource.h>

namespace {

// Ten are enough on Debian 12 with X11; the rest is room for what a
// desktop's libraries may open besides.
constexpr rlim_t WindowDescriptors = 64;

} // namespace

QString ensureWindowDescriptors()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= WindowDescriptors)
        return {};
    if (limit.rlim_max >= WindowDescriptors) {
        limit.rlim_cur = WindowDescriptors;
        if (setrlimit(RLIMIT_NOFILE, &limit) == 0)
            return {};
    }
    return QStringLiteral("Topovil : la fenêtre ne peut pas s'ouvrir : elle a besoin de %1 fichiers ouverts à la "
                          "fois, le système n'en permet que %2 (ulimit -n).\n")
        .arg(WindowDescriptors)
        .arg(limit.rlim_max);
}
