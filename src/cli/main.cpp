#include "varnelcli.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Progress over many files is for a person at a terminal, not for a log.
    return cli::run(app.arguments().mid(1), out, err, ::isatty(STDERR_FILENO));
}
