// Draws the glyphs of the button kinds and writes each as a 16-colour PNG: two images side by
// side, the normal one and the disabled one, on the olive that the buttons treat as transparent.
// The shapes are drawn without antialiasing so that every pixel is one of the sixteen colours.

#include <cstdio>
#include <functional>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include "widgets/StandardColors.h"

namespace {

const QRgb olive = qRgb(128, 128, 0);
const QRgb white = qRgb(255, 255, 255);
const QRgb grey = qRgb(128, 128, 128);

const QList<QRgb> sixteen(standardColors.begin(), standardColors.end());

using Drawing = std::function<void(QPainter &)>;

struct Glyph {
    const char *name;
    int height;
    Drawing draw;
};

void pen(QPainter &p, QRgb color, int width)
{
    p.setPen(QPen(QColor(color), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
}

void check(QPainter &p, QPoint at, QRgb color)
{
    pen(p, color, 3);
    p.drawPolyline(QPolygon({ at + QPoint(0, 6), at + QPoint(4, 10), at + QPoint(12, 1) }));
}

void cross(QPainter &p, QRgb color)
{
    pen(p, color, 3);
    p.drawLine(4, 4, 13, 13);
    p.drawLine(13, 4, 4, 13);
}

void arrowHead(QPainter &p, QRgb color, const QPolygon &tip)
{
    p.setPen(QPen(QColor(color), 1));
    p.setBrush(QColor(color));
    p.drawPolygon(tip);
}

const QList<Glyph> glyphs {
    { "BBCOK", 18,
        [](QPainter &p) {
            check(p, { 2, 3 }, qRgb(0, 128, 0));
        } },
    { "BBCCANCEL", 18, [](QPainter &p) { cross(p, qRgb(128, 0, 0)); } },
    { "BBCHELP", 18,
        [](QPainter &p) {
            pen(p, qRgb(0, 0, 128), 3);
            p.drawArc(QRect(5, 2, 8, 7), 180 * 16, -240 * 16);
            p.drawLine(9, 9, 9, 11);
            p.fillRect(QRect(8, 13, 3, 3), QColor(qRgb(0, 0, 128)));
        } },
    { "BBCYES", 18,
        [](QPainter &p) {
            check(p, { 2, 3 }, qRgb(0, 128, 0));
            pen(p, qRgb(0, 0, 0), 1);
            p.drawLine(2, 15, 15, 15);
        } },
    { "BBCNO", 18,
        [](QPainter &p) {
            pen(p, qRgb(255, 0, 0), 2);
            p.drawEllipse(QRect(2, 2, 13, 13));
            p.drawLine(5, 12, 12, 5);
        } },
    { "BBCCLOSE", 18,
        [](QPainter &p) {
            // An open door with an arrow leading out.
            pen(p, qRgb(0, 0, 0), 1);
            p.drawRect(QRect(2, 1, 8, 15));
            p.setBrush(QColor(qRgb(128, 0, 0)));
            p.drawPolygon(QPolygon({ { 2, 1 }, { 6, 3 }, { 6, 17 }, { 2, 16 } }));
            pen(p, qRgb(0, 128, 0), 2);
            p.drawLine(9, 9, 13, 9);
            arrowHead(p, qRgb(0, 128, 0), QPolygon({ { 13, 5 }, { 17, 9 }, { 13, 13 } }));
        } },
    { "BBCABORT", 18,
        [](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(qRgb(255, 0, 0)));
            p.drawEllipse(QRect(1, 1, 16, 16));
            pen(p, white, 2);
            p.drawLine(6, 6, 11, 11);
            p.drawLine(11, 6, 6, 11);
        } },
    { "BBCRETRY", 18,
        [](QPainter &p) {
            pen(p, qRgb(0, 128, 0), 2);
            p.drawArc(QRect(3, 3, 12, 12), 60 * 16, 270 * 16);
            arrowHead(p, qRgb(0, 128, 0), QPolygon({ { 10, 0 }, { 15, 4 }, { 9, 7 } }));
        } },
    { "BBCIGNORE", 18,
        [](QPainter &p) {
            // An arrow jumping over a block.
            p.fillRect(QRect(7, 11, 4, 6), QColor(qRgb(128, 0, 0)));
            pen(p, qRgb(0, 0, 128), 2);
            QPainterPath jump({ 2, 15 });
            jump.cubicTo(3, 3, 13, 3, 14, 12);
            p.drawPath(jump);
            arrowHead(p, qRgb(0, 0, 128), QPolygon({ { 11, 11 }, { 17, 11 }, { 14, 16 } }));
        } },
    { "BBCALL", 19,
        [](QPainter &p) {
            check(p, { 1, 1 }, qRgb(0, 128, 0));
            check(p, { 4, 7 }, qRgb(0, 128, 0));
        } },
};

// The disabled image: the shape in grey with a white highlight one pixel down and right. White
// inside a shape stays a hole, so that a cross on a disc still shows.
QImage disabledOf(const QImage &normal)
{
    const auto isShape = [&](int x, int y) {
        const QRgb c = normal.pixel(x, y);
        return c != olive && c != white;
    };
    QImage disabled(normal.size(), QImage::Format_RGB32);
    disabled.fill(olive);
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            if (!isShape(x, y))
                continue;
            if (x + 1 < normal.width() && y + 1 < normal.height())
                disabled.setPixel(x + 1, y + 1, white);
        }
    }
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            if (isShape(x, y))
                disabled.setPixel(x, y, grey);
        }
    }
    return disabled;
}

QImage render(const Glyph &glyph)
{
    QImage normal(18, glyph.height, QImage::Format_RGB32);
    normal.fill(olive);
    {
        QPainter painter(&normal);
        painter.setRenderHint(QPainter::Antialiasing, false);
        glyph.draw(painter);
    }
    // The bottom-left pixel names the transparent colour, so it stays olive.
    normal.setPixel(0, glyph.height - 1, olive);

    QImage both(36, glyph.height, QImage::Format_RGB32);
    QPainter painter(&both);
    painter.drawImage(0, 0, normal);
    painter.drawImage(18, 0, disabledOf(normal));
    painter.end();
    return both.convertToFormat(QImage::Format_Indexed8, sixteen, Qt::ThresholdDither);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: glyphs_tool <output folder>\n");
        return 2;
    }
    const QDir folder(args.at(1));
    for (const Glyph &glyph : glyphs) {
        const QString path
            = folder.filePath(QString::fromLatin1(glyph.name) + QStringLiteral(".png"));
        QImageWriter writer(path, "png");
        if (!writer.write(render(glyph))) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                qPrintable(writer.errorString()));
            return 1;
        }
    }
    return 0;
}
