#include "fonts.h"
#include "frmmain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    std::jthread fontConfiguration = fonts::readConfigurationAhead();
    QApplication app(argc, argv);
    // A font asked for while the thread still reads would read it again.
    fontConfiguration.join();
    frmMain window;
    window.show();
    return app.exec();
}
