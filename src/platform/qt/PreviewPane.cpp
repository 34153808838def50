#include "platform/qt/PreviewPane.h"

#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "platform/PictureWorker.h"

PreviewPane::PreviewPane(std::shared_ptr<const PicturePreviewer> previewer, QWidget *parent)
    : QWidget(parent), previewer(std::move(previewer)), image(new QLabel(this)),
      text(new QLabel(this)), latest(std::make_shared<std::atomic<quint64>>(0))
{
    setObjectName(QStringLiteral("preview"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto *layout = new QVBoxLayout(this);
    image->setFixedSize(box);
    image->setAlignment(Qt::AlignCenter);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(image);
    layout->addWidget(text);
    layout->addStretch();
    connect(&watcher, &QFutureWatcher<PicturePreviewer::Preview>::finished, this,
        [this] { showPreview(watcher.result()); });
    showPreview({});
}

PreviewPane::~PreviewPane()
{
    // A job still queued finds itself replaced and reads nothing.
    ++*latest;
}

void PreviewPane::showFile(const QString &path)
{
    const quint64 request = ++*latest;
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        showPreview({});
        return;
    }
    image->clear();
    text->clear();
    shown = QImage();
    watcher.setFuture(QtConcurrent::run(&pictureWorker(),
        [previewer = previewer, latest = latest, request, path]() -> PicturePreviewer::Preview {
            if (*latest != request)
                return {};
            return previewer->preview(path, box);
        }));
}

void PreviewPane::showPreview(const PicturePreviewer::Preview &preview)
{
    shown = preview.image;
    if (shown.isNull()) {
        image->clear();
        text->setText(tr("No preview"));
        return;
    }
    image->setPixmap(QPixmap::fromImage(shown));
    text->setText(
        QStringLiteral("%1 \u00d7 %2").arg(preview.size.width()).arg(preview.size.height()));
}

QString PreviewPane::caption() const
{
    return text->text();
}

QImage PreviewPane::picture() const
{
    return shown;
}
