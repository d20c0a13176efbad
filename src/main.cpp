#include "fonts.h"
#include "frmmain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    fonts::ConfigurationReader fontConfiguration;
    QApplication app(argc, argv);
    fontConfiguration.join();
    frmMain window;
    window.show();
    return app.exec();
}
