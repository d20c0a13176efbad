#include "terminal.h"
#include "varnelcli.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Progress over many files is for a person at a terminal, not for a log.
    const int status = cli::run(app.arguments().mid(1), out, err, standardErrorIsTerminal());
    // An answer lost to a full disk must not pass for one given: a script
    // would go on with an empty preset.
    out.flush();
    if (out.status() != QTextStream::Ok || std::fflush(stdout) != 0) {
        err << "varnel-cli: writing to the standard output: " << std::strerror(errno) << "\n";
        return 1;
    }
    return status;
}
