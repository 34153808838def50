// Feeds every input to the volume-label decoder as the name of a /dev/disk/by-label link. Beyond
// crashes, it checks that a label escaped the way udev escapes it reads back unchanged.

#include <cctype>
#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QString>

#include "FuzzSupport.h"
#include "platform/MountTable.h"

namespace {

// udev writes every byte outside the safe set as "\xHH".
QString escapedAsUdevDoes(const QString &label)
{
    QByteArray name;
    for (const char c : label.toUtf8()) {
        const auto byte = uchar(c);
        if (byte >= 0x80 || std::isalnum(byte) || QByteArrayView("#+-.:=@_").contains(c))
            name += c;
        else
            name += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
    }
    return QString::fromUtf8(name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)unescapeLabel(name);
    require(unescapeLabel(escapedAsUdevDoes(name)) == name, "an escaped label reads back");
    return 0;
}
