#include <memory>

#include <QApplication>

#include "app/TmainF.h"
#include "files/PictureLimits.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtPrompts.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    allowPicturesUpToOpenLimit();
    QtPrompts prompts;
    // Made when Print is first used: a printer loads the print system and talks to its server.
    std::unique_ptr<QtPrinter> printer;
    const auto printerOnDemand = [&printer]() -> Printer & {
        if (!printer)
            printer = std::make_unique<QtPrinter>();
        return *printer;
    };
    TmainF window(prompts, printerOnDemand, QCoreApplication::applicationFilePath());
    prompts.setParent(&window);
    window.show();
    return app.exec();
}
