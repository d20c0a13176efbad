#include "commandline.h"
#include "fonts.h"
#include "frmmain.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Help and version need no display.
    if (const CommandLine early = CommandLine::early(argc, argv); early.action != CommandLine::Run) {
        std::fputs(early.output().toLocal8Bit().constData(), stdout);
        return 0;
    }
    fonts::ConfigurationReader fontConfiguration;
    QApplication app(argc, argv);
    fontConfiguration.join();
    const CommandLine line = CommandLine::parse(app.arguments().mid(1));
    if (line.action == CommandLine::UsageError) {
        std::fputs(line.output().toLocal8Bit().constData(), stderr);
        return 2;
    }
    frmMain window;
    window.show();
    // Through Open File's steps: a file that fails is named in a message.
    if (line.file)
        window.openGameFile(*line.file);
    return app.exec();
}
