#include "app/StartPicture.h"

#include <QImageReader>

// A resource compiled into a static library is only linked in when something refers to it.
// Outside any namespace: the registration function's name is declared where this expands.
static void registerResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(quillet);
        return true;
    }();
    (void)registered;
}

QImage startPicture()
{
    registerResources();
    QImageReader reader(QStringLiteral(":/startpicture.png"), "png");
    return reader.read().convertToFormat(QImage::Format_RGB888);
}
