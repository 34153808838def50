#pragma once

#include <atomic>
#include <memory>

#include <QFutureWatcher>
#include <QWidget>

#include "platform/PicturePreviewer.h"

class QLabel;

// Beside a file list: the selected file's picture scaled to fit about 240 by 240 pixels, and its
// size under it, or "No preview". Files are read on the picture worker; a request that a newer
// selection has replaced is dropped before it is read, and its answer if it was.
class PreviewPane : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize box { 240, 240 };

    PreviewPane(std::shared_ptr<const PicturePreviewer> previewer, QWidget *parent = nullptr);
    ~PreviewPane() override;

    void showFile(const QString &path);

    // What shows now: the size text, or "No preview"; empty while a file is being read.
    QString caption() const;
    // The picture shown; null with "No preview".
    QImage picture() const;

private:
    void showPreview(const PicturePreviewer::Preview &preview);

    std::shared_ptr<const PicturePreviewer> previewer;
    QLabel *image;
    QLabel *text;
    QImage shown;
    std::shared_ptr<std::atomic<quint64>> latest;
    QFutureWatcher<PicturePreviewer::Preview> watcher;
};
