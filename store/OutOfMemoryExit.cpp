#include "store/OutOfMemoryExit.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <unistd.h>

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
