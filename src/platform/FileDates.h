#pragma once

#include <QLocale>
#include <QString>

class QDateTime;

// File times as the About box shows them.

// A file time as the file system reports it (UTC) in local time, to the millisecond.
QDateTime filetime2datetime(const QDateTime &ft);
// The short date, a blank and the long time of `when`; the time is left out at exactly
// midnight, and an invalid time gives "".
QString datetimestr(const QDateTime &when, const QLocale &locale = QLocale());
// The date text of a folder (its creation time) or a file (its last write); "" when missing.
QString fdatestr(const QString &path, const QLocale &locale = QLocale());
