#include "terminal.h"

#include <unistd.h>

bool standardErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO);
}
