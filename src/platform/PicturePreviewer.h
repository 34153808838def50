#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// What the picture dialogs show of the selected file. The dialogs live below the picture
// readers, so the program hands them one of these.
class PicturePreviewer {
public:
    struct Preview {
        QImage image; // fits the box asked for; null: the file shows "No preview"
        QSize size; // the picture's size in pixels, upright
    };

    virtual ~PicturePreviewer() = default;
    // Called on the picture worker, never on the user-interface thread; must not throw.
    virtual Preview preview(const QString &path, QSize box) const = 0;
};
