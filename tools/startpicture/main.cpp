// Draws Quillet's start picture, the instructions shown in the main window at start, and
// writes its 24-bit pixels after its width and height, as the rows of a QImage lie in memory,
// so that the program shows them where they lie in its resources, with nothing to decode. The fonts
// are loaded from their files so that the picture comes out the same on every machine that has the
// Debian font packages.

#include <cstdio>

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>

namespace {

const QSize pictureSize(621, 462);
const QColor cream(255, 251, 240);
const QColor highlight(255, 240, 0);

const QStringList serifFiles {
    QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"),
    QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf"),
};
const QStringList boldSerifFiles {
    QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"),
    QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf"),
};

enum class Kind { Heading, Step, Continued, Blank };

struct Line {
    Kind kind;
    QString text;
};

const QList<Line> lines {
    { Kind::Heading, QStringLiteral("Quillet Quick MARKING mode") },
    { Kind::Blank, {} },
    { Kind::Step, QStringLiteral("1) Load image with File \u2013 Open\u2026") },
    { Kind::Step, QStringLiteral("Or Paste image from Clipboard with CTRL+V") },
    { Kind::Step, QStringLiteral("2) Choose a color") },
    { Kind::Step, QStringLiteral("3) Highlight using the left mouse button") },
    { Kind::Blank, {} },
    { Kind::Heading, QStringLiteral("Quillet SELECTION mode") },
    { Kind::Blank, {} },
    { Kind::Step, QStringLiteral("1) Load image with File \u2013 Open\u2026") },
    { Kind::Step, QStringLiteral("Or Paste image from Clipboard with CTRL+V") },
    { Kind::Step, QStringLiteral("2) Make a selection in the image with the mouse") },
    { Kind::Step,
        QStringLiteral("3) Go to the file menu: \u201CSelection\u201D and make a choice in") },
    { Kind::Continued, QStringLiteral("the submenu.") },
};

// Loads the first font file that exists and returns its family, or an empty string.
QString loadFamily(const QStringList &files)
{
    for (const QString &file : files) {
        if (!QFileInfo::exists(file))
            continue;
        const int id = QFontDatabase::addApplicationFont(file);
        if (id >= 0) {
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty())
                return families.constFirst();
        }
    }
    return {};
}

QImage render(const QString &family, const QString &boldFamily)
{
    QImage picture(pictureSize, QImage::Format_RGB888);
    picture.fill(cream);

    QFont body(family);
    body.setPixelSize(18);
    body.setStyleStrategy(QFont::PreferAntialias);
    QFont heading(boldFamily);
    heading.setPixelSize(21);
    heading.setBold(true);
    heading.setUnderline(true);
    heading.setStyleStrategy(QFont::PreferAntialias);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);

    const int left = 28;
    const int lineHeight = 30;
    // The lines are centred vertically as a block.
    const int top = (pictureSize.height() - int(lines.size()) * lineHeight) / 2;
    // A continued line starts under the text after its step number.
    const int indent = QFontMetrics(body).horizontalAdvance(QStringLiteral("3) "));

    int y = top;
    for (const Line &line : lines) {
        switch (line.kind) {
        case Kind::Blank:
            break;
        case Kind::Heading: {
            const QFontMetrics metrics(heading);
            const int baseline = y + (lineHeight + metrics.ascent() - metrics.descent()) / 2;
            const QRect band(left - 6, y, metrics.horizontalAdvance(line.text) + 12, lineHeight);
            painter.fillRect(band, highlight);
            painter.setFont(heading);
            painter.drawText(left, baseline, line.text);
            break;
        }
        case Kind::Step:
        case Kind::Continued: {
            const QFontMetrics metrics(body);
            const int baseline = y + (lineHeight + metrics.ascent() - metrics.descent()) / 2;
            painter.setFont(body);
            painter.drawText(
                left + (line.kind == Kind::Continued ? indent : 0), baseline, line.text);
            break;
        }
        }
        y += lineHeight;
    }
    painter.end();
    return picture;
}

// The pixels, row after row, each row filled up with zeros to a multiple of four bytes, as a
// QImage's rows are aligned.
QByteArray rowsOf(const QImage &picture)
{
    const qsizetype used = qsizetype(picture.width()) * 3;
    const qsizetype stride = (used + 3) / 4 * 4;
    QByteArray rows;
    for (int y = 0; y < picture.height(); ++y) {
        rows.append(reinterpret_cast<const char *>(picture.constScanLine(y)), used);
        rows.append(stride - used, '\0');
    }
    return rows;
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing into an image needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: startpicture_tool <output.rgb>\n");
        return 2;
    }

    const QString family = loadFamily(serifFiles);
    const QString boldFamily = loadFamily(boldSerifFiles);
    if (family.isEmpty() || boldFamily.isEmpty()) {
        std::fprintf(stderr,
            "startpicture_tool: no DejaVu Serif or Liberation Serif font found "
            "(install fonts-dejavu-core or fonts-liberation)\n");
        return 1;
    }

    const QImage picture = render(family, boldFamily);
    QFile out(args[1]);
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "startpicture_tool: cannot write %s: %s\n", qPrintable(args[1]),
            qPrintable(out.errorString()));
        return 1;
    }
    QDataStream stream(&out);
    stream << quint32(picture.width()) << quint32(picture.height());
    out.write(rowsOf(picture));
    return 0;
}
