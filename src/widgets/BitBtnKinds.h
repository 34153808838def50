#pragma once

#include <QImage>
#include <QString>

// The stock kinds of the colour bitmap button, in this order.
enum class TBitBtnWithColorKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};

// What a kind sets on its button.
struct KindTraits {
    int modalResult;
    bool isDefault;
    bool isCancel;
    const char *caption; // "" for none
    const char *resource; // the glyph's resource name, "" for none
};

const KindTraits &kindTraits(TBitBtnWithColorKind kind);
QString defaultCaption(TBitBtnWithColorKind kind);

// The kind's two-image glyph, loaded from the resources on first use and kept for the rest of
// the run; a null image for bkCustom.
const QImage &KindGlyph(TBitBtnWithColorKind kind);
