#include "platform/FileDates.h"

#include <QDateTime>
#include <QFileInfo>

QDateTime filetime2datetime(const QDateTime &ft)
{
    if (!ft.isValid())
        return {};
    return QDateTime::fromMSecsSinceEpoch(ft.toMSecsSinceEpoch(), Qt::LocalTime);
}

namespace {

// The locale's long time format without its time zone ("t"), which Qt adds to it: the file's
// time is local time already. Quoted literal text stays as it is.
QString longTimeWithoutZone(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            kept += c;
    }
    return kept.trimmed();
}

} // namespace

QString datetimestr(const QDateTime &when, const QLocale &locale)
{
    if (!when.isValid())
        return {};
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() == QTime(0, 0))
        return date;
    return date + u' ' + locale.toString(when.time(), longTimeWithoutZone(locale));
}

QString fdatestr(const QString &path, const QLocale &locale)
{
    // A root answers with its own times; a path that vanishes after the test has no valid time
    // and so answers "", as a missing one does.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return {};
    QDateTime time;
    if (info.isDir()) {
        time = info.birthTime();
        // File systems that keep no creation time answer with the last change instead.
        if (!time.isValid())
            time = info.lastModified();
    } else {
        time = info.lastModified();
    }
    return datetimestr(filetime2datetime(time), locale);
}
