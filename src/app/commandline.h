#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What `varnel [FILE]` is asked to do.
struct CommandLine {
    enum Action { Run, Help, Version, UsageError };
    Action action = Run;
    std::optional<QString> file; // to open at start
    QString problem;             // for a usage error

    // From the arguments after the program's name, once Qt has taken its
    // own (-platform and the like). "--" ends the options.
    static CommandLine parse(const QStringList& arguments);
    // Only what can be answered before Qt starts: --help, -h and --version.
    static CommandLine early(int argc, char* argv[]);
    // What to print, on stdout for help and version, on stderr for a problem.
    QString output() const;
};
