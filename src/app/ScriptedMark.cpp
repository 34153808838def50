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
        // The part on the picture, as the window marks a drag past its edge.
        markRectangle(image, mark.pixels.topLeft(), mark.pixels.bottomRight(), mark.color);
    }
    if (line.crop) {
        requireOnPicture("crop", *line.crop, image);
        image = keptBlock(image, *line.crop);
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
