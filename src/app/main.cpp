#include "app/TmainF.h"
#include "platform/AppInfo.h"
#include "platform/QtPrompts.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QtPrompts prompts;
    TmainF window(prompts, executableFolder());
    prompts.setParent(&window);
    window.show();
    return app.exec();
}
