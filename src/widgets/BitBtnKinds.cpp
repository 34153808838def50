#include "widgets/BitBtnKinds.h"

#include <array>

#include <QImageReader>

// A resource compiled into a static library is only linked in when something refers to it.
// Outside any namespace: the registration function's name is declared where this expands.
static void registerGlyphResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(widgets);
        return true;
    }();
    (void)registered;
}

namespace {

// Modal results as the platform numbers them: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore,
// 6 Yes, 7 No, 8 All.
const std::array<KindTraits, 11> traits { {
    { 0, false, false, "", "" },
    { 1, true, false, "OK", "BBCOK" },
    { 2, false, true, "Cancel", "BBCCANCEL" },
    { 0, false, false, "&Help", "BBCHELP" },
    { 6, true, false, "&Yes", "BBCYES" },
    { 7, false, true, "&No", "BBCNO" },
    { 0, false, false, "&Close", "BBCCLOSE" },
    { 3, false, false, "Abort", "BBCABORT" },
    { 4, false, false, "&Retry", "BBCRETRY" },
    { 5, false, false, "&Ignore", "BBCIGNORE" },
    { 8, false, false, "&All", "BBCALL" },
} };

} // namespace

const KindTraits &kindTraits(TBitBtnWithColorKind kind)
{
    return traits.at(size_t(kind));
}

QString defaultCaption(TBitBtnWithColorKind kind)
{
    return QString::fromLatin1(kindTraits(kind).caption);
}

const QImage &KindGlyph(TBitBtnWithColorKind kind)
{
    static std::array<QImage, 11> KindGlyphs;
    QImage &slot = KindGlyphs.at(size_t(kind));
    const QString name = QString::fromLatin1(kindTraits(kind).resource);
    if (slot.isNull() && !name.isEmpty()) {
        registerGlyphResources();
        QImageReader reader(QStringLiteral(":/glyphs/%1.png").arg(name), "png");
        slot = reader.read();
    }
    return slot;
}
