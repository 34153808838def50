#include <QApplication>

#include "app/TmainF.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtPrompts.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QtPrompts prompts;
    QtPrinter printer;
    TmainF window(prompts, printer, QCoreApplication::applicationFilePath());
    prompts.setParent(&window);
    window.show();
    return app.exec();
}
