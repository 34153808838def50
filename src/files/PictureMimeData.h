#pragma once

#include <QFuture>
#include <QImage>
#include <QMimeData>

// A picture put on the clipboard by Copy. It owns a copy of the picture, so later marks never
// reach the clipboard, and offers it to other programs as PNG, encoded at once on the picture
// worker: a request is answered from ready bytes (waiting only if it comes before they are),
// and the user-interface thread never encodes. Quillet's own Paste takes the picture itself.
class PictureMimeData : public QMimeData {
    Q_OBJECT

public:
    explicit PictureMimeData(const QImage &picture);

    const QImage &picture() const { return copy; }
    QStringList formats() const override;
    bool hasFormat(const QString &mimeType) const override;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    QImage copy;
    QFuture<QByteArray> png;
};
