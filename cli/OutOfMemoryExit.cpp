#include "cli/OutOfMemoryExit.h"

#include <cstdlib>
#include <exception>
#include <new>
#include <unistd.h>

namespace {

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
    static const char message[] = "topovil : mémoire insuffisante : la recherche s'arrête là "
                                  "(essayez avec plus de mémoire libre)\n";
    const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    (void)written;
    _exit(2);
}

} // namespace

void exitOnUncaughtOutOfMemory()
{
    std::set_terminate(onTerminate);
}
