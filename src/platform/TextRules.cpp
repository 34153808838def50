#include "platform/TextRules.h"

#include <algorithm>

#include <QByteArray>

QString lowerAZ(QString text)
{
    for (QChar &c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return text;
}

bool equalIgnoringAZCase(const QString &a, const QString &b)
{
    return a.size() == b.size() && lowerAZ(a) == lowerAZ(b);
}

std::optional<int> parseDecimal(QByteArrayView text)
{
    const QByteArrayView digits
        = text.startsWith('+') || text.startsWith('-') ? text.sliced(1) : text;
    // toInt would also take blanks and a second sign; a number here is digits alone.
    if (digits.isEmpty()
        || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const int value = text.toByteArray().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> parseDecimal(const QString &text)
{
    return parseDecimal(QByteArrayView(text.toLatin1()));
}
