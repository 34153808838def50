#include "location/WildcardMask.h"

#include <algorithm>

WildcardMask::WildcardMask(const QString &masks)
{
    for (const QString &piece : masks.split(QLatin1Char(';'))) {
        const QString mask = piece.trimmed();
        if (mask.isEmpty())
            continue;
        patterns.append(QRegularExpression::fromWildcard(mask, Qt::CaseInsensitive));
        if (mask.endsWith(QLatin1String(".*")))
            patterns.append(QRegularExpression::fromWildcard(mask.chopped(2), Qt::CaseInsensitive));
    }
    if (patterns.isEmpty())
        patterns.append(QRegularExpression::fromWildcard(u"*"));
}

bool WildcardMask::matches(const QString &name) const
{
    return std::any_of(patterns.cbegin(), patterns.cend(),
        [&](const QRegularExpression &pattern) { return pattern.match(name).hasMatch(); });
}
