#include "terminal.h"

#include <cstdio>
#include <io.h>

bool standardErrorIsTerminal()
{
    return _isatty(_fileno(stderr));
}
