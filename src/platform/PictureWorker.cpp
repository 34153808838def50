#include "platform/PictureWorker.h"

#include <QThreadPool>

QThreadPool &pictureWorker()
{
    static QThreadPool pool;
    static const bool configured = [] {
        pool.setMaxThreadCount(1);
        return true;
    }();
    Q_UNUSED(configured);
    return pool;
}
