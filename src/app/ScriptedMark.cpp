#include "app/ScriptedMark.h"

#include <QTextStream>

#include "app/CommandLine.h"
#include "editor/KeptBlock.h"
#include "editor/Mark.h"
#include "files/PictureFiles.h"
#include "platform/Failure.h"

namespace {

struct Refused {
    QString text;
    int exitCode;
};

QString described(const QRect &pixels)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(pixels.x())
        .arg(pixels.y())
        .arg(pixels.width())
        .arg(pixels.height());
}

void requireOnPicture(const char *option, const QRect &pixels, const QImage &image)
{
    if (!pixels.intersects(image.rect()))
        throw Refused { QStringLiteral("--%1 %2 lies wholly outside the %3 x %4 picture")
                            .arg(QLatin1String(option), described(pixels))
                            .arg(image.width())
                            .arg(image.height()),
            2 };
}

QImage marked(const CommandLine &line)
{
    QImage image;
    try {
        // Taken out of the picture, so that the marks write into it without a copy.
        image = fname2bmpimage(line.picture).takeImage();
    } catch (const Failure &failure) {
        throw Refused { failure.message(), 1 };
    }
    for (const CommandLine::Mark &mark : line.marks) {
        requireOnPicture("mark", mark.pixels, image);
        // Clipped to the picture, as the window clips a drag.
        const QRect pixels = mark.pixels & image.rect();
        markRectangle(image, pixels.topLeft(), pixels.bottomRight(), mark.color);
    }
    if (line.crop) {
        requireOnPicture("crop", *line.crop, image);
        // Crop keeps what a drag from the top-left corner to one past the bottom-right keeps.
        const QRect kept = *line.crop;
        image = keptBlock(
            image, kept.topLeft(), kept.topLeft() + QPoint(kept.width(), kept.height()));
    }
    return image;
}

} // namespace

int runScriptedMark(const CommandLine &line, QTextStream &errors)
{
    try {
        QString name = line.output;
        // A name without an extension is written as a bitmap, as "Save as..." does with its
        // bitmap entry.
        bmpimage2fname(Picture(marked(line)), name, 2);
        return 0;
    } catch (const Refused &refused) {
        errors << "quillet: " << refused.text << Qt::endl;
        return refused.exitCode;
    } catch (const Failure &failure) {
        errors << "quillet: " << failure.message() << Qt::endl;
        return 1;
    }
}
