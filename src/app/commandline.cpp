#include "commandline.h"

#include <QFileInfo>

#include <cstring>

namespace
{

const QString kUsage = QStringLiteral("usage: varnel [FILE]    edit the scoreboard layout of a game file\n"
                                      "       varnel -h | --help | --version\n");

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine line;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == u"-h" || argument == u"--help")) {
            return {Help, {}, {}};
        } else if (!optionsEnded && argument == u"--version") {
            return {Version, {}, {}};
        } else if (!optionsEnded && argument.size() > 1 && argument.startsWith(u'-')) {
            return {UsageError, {}, QStringLiteral("unknown option \"%1\"").arg(argument)};
        } else if (line.file) {
            return {UsageError, {}, QStringLiteral("one FILE at most")};
        } else if (argument.isEmpty()) {
            return {UsageError, {}, QStringLiteral("the file name is empty")};
        } else {
            // The window moves the current folder to the program folder, so
            // the name is made whole while it still means what was typed.
            line.file = QFileInfo(argument).absoluteFilePath();
        }
    }
    return line;
}

CommandLine CommandLine::early(int argc, char* argv[])
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        for (const char* option : {"-h", "--help", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return parse({QString::fromLocal8Bit(option)});
    return {};
}

QString CommandLine::output() const
{
    switch (action) {
    case Help:
        return kUsage;
    case Version:
        return QStringLiteral("varnel %1\n").arg(QStringLiteral(VARNEL_VERSION));
    case UsageError:
        return QStringLiteral("varnel: %1\n").arg(problem) + kUsage;
    case Run:
        break;
    }
    return {};
}
