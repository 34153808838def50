#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "editor/Picture.h"

class QDropEvent;
class QMimeData;

// What a drop on the main window brings that the window takes: one local file, which opens as
// if chosen in the open dialog, or PNG, bitmap or JPEG data from another program, which pastes.
// Anything else is refused. Every drop taken is a copy, so that no program deletes what was
// dragged.
struct PictureDrop {
    QString file; // native path; empty for picture data
    QByteArray data;
    QByteArray format; // the Qt image format of `data`: "png", "bmp" or "jpeg"

    // Accepts a drag as a copy when it offers such a drop, judged by its formats alone: another
    // program's data travels only once it is read. Otherwise the drag stays refused.
    static bool acceptCopy(QDropEvent &event);
    // Accepts the drop as acceptCopy does and reads what it brings, while the drop lasts.
    static std::optional<PictureDrop> take(QDropEvent &event);

    // Picture data that `mime` offers (PNG, bitmap or JPEG, in that order of preference), as a
    // drop or the clipboard brings it; nothing when it offers none.
    static std::optional<PictureDrop> offered(const QMimeData &mime);

    // The picture data as Edit > Paste makes a picture, with the same size limit and message.
    // Throws Failure for data that cannot be read; `source` ("dropped", "pasted") names it.
    Picture picture(const QString &source = QStringLiteral("dropped")) const;
};
