// Feeds every input to the Exif reader twice: as the APP1 block of a JPEG, and behind the
// "Exif\0\0" signature, so that the fuzzer works on the TIFF structure without first having to
// find the signature. Each block lies in memory of exactly its size, so that AddressSanitizer
// sees any read past its end. The answer is always an orientation Exif defines.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include <QByteArrayView>

#include "FuzzSupport.h"
#include "files/ExifOrientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const int asGiven = exifOrientation(QByteArrayView(bytes, qsizetype(size)));
    require(asGiven >= 1 && asGiven <= 8, "the orientation is one of 1 to 8");

    const QByteArrayView signature("Exif\0\0", 6);
    const auto blockSize = size_t(signature.size()) + size;
    const std::unique_ptr<char[]> block(new char[blockSize]);
    std::copy(signature.begin(), signature.end(), block.get());
    std::copy(bytes, bytes + size, block.get() + signature.size());
    const int behindSignature = exifOrientation(QByteArrayView(block.get(), qsizetype(blockSize)));
    require(behindSignature >= 1 && behindSignature <= 8, "the orientation is one of 1 to 8");
    return 0;
}
