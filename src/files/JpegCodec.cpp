#include "files/JpegCodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <memory>
#include <new>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>
#include <QIODevice>
#include <QImage>
#include <QList>

#include "editor/PictureBuffers.h"
#include "files/ExifOrientation.h"
#include "platform/Failure.h"

namespace {

// libjpeg reports an error by calling error_exit, which must not return. Ours jumps back to
// the guard around the library call, so no C++ exception ever unwinds through libjpeg.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void jumpBack(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->jump, 1);
}

void ignoreMessage(j_common_ptr, int) { }

void printNothing(j_common_ptr) { }

void initErrorManager(ErrorManager &err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = jumpBack;
    // Warnings (corrupt or truncated data that still decodes) and trace messages are dropped.
    err.pub.emit_message = ignoreMessage;
    err.pub.output_message = printNothing;
}

// Runs `step`, which may only call libjpeg and touch plain data, since the jump back skips
// destructors. Returns false after a library error; its code stays in err.pub.msg_code.
template<class Step> bool guarded(ErrorManager &err, const Step &step)
{
    if (setjmp(err.jump))
        return false;
    step();
    return true;
}

[[noreturn]] void throwJpegError(const ErrorManager &err)
{
    throw Failure(QStringLiteral("JPEG error #%1").arg(err.pub.msg_code));
}

// A source that reads the device in chunks, so that a large file is never held whole.
struct DeviceSource {
    jpeg_source_mgr pub;
    QIODevice *device;
    bool startOfFile;
    JOCTET buffer[64 * 1024];
};

DeviceSource *deviceSource(j_decompress_ptr cinfo)
{
    return reinterpret_cast<DeviceSource *>(cinfo->src);
}

void initSource(j_decompress_ptr cinfo)
{
    deviceSource(cinfo)->startOfFile = true;
}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    DeviceSource *src = deviceSource(cinfo);
    qint64 count = src->device->read(reinterpret_cast<char *>(src->buffer), sizeof src->buffer);
    if (count < 0)
        ERREXIT(cinfo, JERR_FILE_READ);
    if (count == 0) {
        if (src->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        // A truncated file ends with a made-up end marker; the missing part decodes gray.
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        count = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = size_t(count);
    src->startOfFile = false;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr *src = cinfo->src;
    while (count > long(src->bytes_in_buffer)) {
        count -= long(src->bytes_in_buffer);
        fillInputBuffer(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= size_t(count);
}

void termSource(j_decompress_ptr) { }

struct Decompressor {
    jpeg_decompress_struct cinfo {};
    ErrorManager err {};
    DeviceSource source {};

    // Safe on a structure that was never created or that failed halfway.
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
};

// A destination that hands the data to a device in chunks. A device that refuses data is
// noted and ends the encoding through libjpeg's own error path.
struct DeviceDestination {
    jpeg_destination_mgr pub;
    QIODevice *device;
    bool writeFailed;
    JOCTET buffer[64 * 1024];
};

DeviceDestination *deviceDestination(j_compress_ptr cinfo)
{
    return reinterpret_cast<DeviceDestination *>(cinfo->dest);
}

void writeOut(j_compress_ptr cinfo, size_t count)
{
    DeviceDestination *dest = deviceDestination(cinfo);
    bool written = false;
    try {
        written = dest->device->write(reinterpret_cast<const char *>(dest->buffer), qint64(count))
            == qint64(count);
    } catch (...) {
        // Only running out of memory can throw here; it must not unwind through libjpeg.
    }
    if (!written) {
        dest->writeFailed = true;
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
}

void initDestination(j_compress_ptr cinfo)
{
    DeviceDestination *dest = deviceDestination(cinfo);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = sizeof dest->buffer;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    // Called when the whole buffer is full.
    writeOut(cinfo, sizeof deviceDestination(cinfo)->buffer);
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    DeviceDestination *dest = deviceDestination(cinfo);
    const size_t count = sizeof dest->buffer - dest->pub.free_in_buffer;
    if (count > 0)
        writeOut(cinfo, count);
}

struct Compressor {
    jpeg_compress_struct cinfo {};
    ErrorManager err {};
    DeviceDestination dest {};

    ~Compressor() { jpeg_destroy_compress(&cinfo); }
};

QString tr(const char *text)
{
    return QCoreApplication::translate("JpegCodec", text);
}

Failure notEnoughMemory(int width, int height)
{
    return Failure(
        tr("Not enough memory to open a picture of %1 x %2 pixels").arg(width).arg(height));
}

// Reads the header, refusing a picture above `maxPixels` before anything is allocated. Exif
// blocks are kept for the orientation.
void readHeader(Decompressor &d, QIODevice &device, qint64 maxPixels)
{
    jpeg_decompress_struct &cinfo = d.cinfo;
    initErrorManager(d.err);
    cinfo.err = &d.err.pub;
    d.source.device = &device;
    d.source.pub.init_source = initSource;
    d.source.pub.fill_input_buffer = fillInputBuffer;
    d.source.pub.skip_input_data = skipInputData;
    d.source.pub.resync_to_restart = jpeg_resync_to_restart;
    d.source.pub.term_source = termSource;

    if (!guarded(d.err, [&] {
            jpeg_create_decompress(&cinfo);
            cinfo.src = &d.source.pub;
            jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
            jpeg_read_header(&cinfo, TRUE);
        })) {
        // Beyond 65500 pixels a side libjpeg refuses the header itself; say why in words.
        if (d.err.pub.msg_code == JERR_IMAGE_TOO_BIG && cinfo.image_width > 0)
            throw Failure(pictureTooLargeMessage(cinfo.image_width, cinfo.image_height, maxPixels));
        throwJpegError(d.err);
    }
    if (qint64(cinfo.image_width) * cinfo.image_height > maxPixels)
        throw Failure(pictureTooLargeMessage(cinfo.image_width, cinfo.image_height, maxPixels));
}

// The orientation of the first Exif block; 1 when there is none.
int orientationOf(const jpeg_decompress_struct &cinfo)
{
    for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1)
            continue;
        const QByteArrayView block(marker->data, qsizetype(marker->data_length));
        if (block.startsWith(QByteArrayView("Exif\0\0", 6)))
            return exifOrientation(block);
    }
    return 1;
}

// What libjpeg is asked to give: gray and RGB go straight into the picture; CMYK (and YCCK,
// which libjpeg turns into CMYK) comes out as four bytes a pixel that we turn into RGB.
struct Output {
    J_COLOR_SPACE space;
    int components;
    bool invertedInk;
};

Output outputFor(const jpeg_decompress_struct &cinfo)
{
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        return { JCS_GRAYSCALE, 1, false };
    case JCS_CMYK:
    case JCS_YCCK:
        // Adobe's applications write CMYK with every value inverted (255: no ink) and mark such
        // files with their APP14 block; files without it hold the ink amounts as they are.
        return { JCS_CMYK, 4, bool(cinfo.saw_Adobe_marker) };
    default:
        return { JCS_RGB, 3, false };
    }
}

QImage allocatePicture(int width, int height, const Output &output)
{
    const bool gray = output.space == JCS_GRAYSCALE;
    // From the picture buffers, so that opening a large picture reuses memory already mapped.
    QImage image = PictureBuffers::newImage(
        QSize(width, height), gray ? QImage::Format_Indexed8 : QImage::Format_RGB888);
    if (gray) {
        QList<QRgb> palette(256);
        for (int level = 0; level < 256; ++level)
            palette[level] = qRgb(level, level, level);
        image.setColorTable(palette);
    }
    return image;
}

// One row of CMYK into RGB: each colour is what its ink leaves of white, times what the black
// ink leaves.
void cmykToRgb(const JSAMPLE *cmyk, uchar *rgb, int width, bool invertedInk)
{
    // For a byte, v ^ 255 is 255 - v.
    const int flip = invertedInk ? 0 : 255;
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const int black = cmyk[3] ^ flip;
        for (int c = 0; c < 3; ++c)
            rgb[c] = uchar(((cmyk[c] ^ flip) * black + 127) / 255);
    }
}

// Decodes every row into `image`; CMYK rows go through a buffer of their own first.
void readScanlines(Decompressor &d, QImage &image, const Output &output)
{
    jpeg_decompress_struct &cinfo = d.cinfo;
    constexpr JDIMENSION batch = 8;
    const bool cmyk = output.space == JCS_CMYK;
    const qsizetype cmykStride = qsizetype(image.width()) * 4;
    std::vector<JSAMPLE> cmykRows;
    try {
        cmykRows.resize(cmyk ? size_t(cmykStride) * batch : 0);
    } catch (const std::bad_alloc &) {
        throw notEnoughMemory(image.width(), image.height());
    }
    uchar *const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    if (!guarded(d.err, [&] {
            JSAMPROW rows[batch];
            while (cinfo.output_scanline < cinfo.output_height) {
                const JDIMENSION first = cinfo.output_scanline;
                const JDIMENSION count = std::min(batch, cinfo.output_height - first);
                for (JDIMENSION i = 0; i < count; ++i)
                    rows[i] = cmyk ? cmykRows.data() + qsizetype(i) * cmykStride
                                   : bits + qsizetype(first + i) * stride;
                const JDIMENSION read = jpeg_read_scanlines(&cinfo, rows, count);
                for (JDIMENSION i = 0; cmyk && i < read; ++i)
                    cmykToRgb(rows[i], bits + qsizetype(first + i) * stride, image.width(),
                        output.invertedInk);
            }
            jpeg_finish_decompress(&cinfo);
        }))
        throwJpegError(d.err);
}

} // namespace

QString pictureTooLargeMessage(qint64 width, qint64 height, qint64 maxPixels)
{
    return tr("The picture is too large to open: %1 x %2 pixels (at most %3 megapixels)")
        .arg(width)
        .arg(height)
        .arg(maxPixels / (1024 * 1024));
}

QImage decodeJpeg(const QByteArray &data, qint64 maxPixels)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return decodeJpeg(buffer, maxPixels);
}

QImage decodeJpeg(QIODevice &device, qint64 maxPixels)
{
    return decodeJpegScaled(device, QSize(), nullptr, maxPixels);
}

QImage decodeJpegScaled(QIODevice &device, QSize box, QSize *fullSize, qint64 maxPixels)
{
    auto decompressor = std::make_unique<Decompressor>();
    Decompressor &d = *decompressor;
    readHeader(d, device, maxPixels);
    // Read now: the saved blocks are freed when the decompression finishes.
    const int orientation = orientationOf(d.cinfo);
    const bool turned = orientation >= 5; // a quarter turn swaps width and height
    if (fullSize) {
        const QSize stored(int(d.cinfo.image_width), int(d.cinfo.image_height));
        *fullSize = turned ? stored.transposed() : stored;
    }

    const Output output = outputFor(d.cinfo);
    // libjpeg's DCT scaling skips most of the work: the smallest of 1/2, 1/4 and 1/8 that still
    // covers the box.
    const QSize cover = turned ? box.transposed() : box;
    unsigned denominator = 1;
    while (box.isValid() && denominator < 8
        && d.cinfo.image_width / (denominator * 2) >= unsigned(cover.width())
        && d.cinfo.image_height / (denominator * 2) >= unsigned(cover.height()))
        denominator *= 2;
    d.cinfo.scale_num = 1;
    d.cinfo.scale_denom = denominator;
    d.cinfo.do_block_smoothing = TRUE;
    if (box.isValid()) {
        // A preview is scaled down afterwards: the fast transform and plain upsampling do.
        d.cinfo.dct_method = JDCT_IFAST;
        d.cinfo.do_fancy_upsampling = FALSE;
    }
    d.cinfo.out_color_space = output.space;
    if (!guarded(d.err, [&] { jpeg_start_decompress(&d.cinfo); }))
        throwJpegError(d.err);
    const int width = int((d.cinfo.image_width + denominator - 1) / denominator);
    const int height = int((d.cinfo.image_height + denominator - 1) / denominator);
    if (int(d.cinfo.output_width) != width || int(d.cinfo.output_height) != height
        || d.cinfo.output_components != output.components)
        throw Failure(tr("JPEG error: unexpected output size"));

    QImage image = allocatePicture(width, height, output);
    readScanlines(d, image, output);
    image = uprightImage(image, orientation);
    if (image.isNull())
        throw notEnoughMemory(width, height);
    return image;
}

QByteArray encodeJpeg(const QImage &image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!encodeJpeg(image, buffer))
        throw Failure(tr("Not enough memory to save the picture"));
    return data;
}

bool encodeJpeg(const QImage &image, QIODevice &device)
{
    if (image.width() <= 0 || image.height() <= 0)
        return true;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) {
        throw Failure(tr("Not enough memory to save a picture of %1 x %2 pixels")
                          .arg(image.width())
                          .arg(image.height()));
    }

    auto compressor = std::make_unique<Compressor>();
    Compressor &c = *compressor;
    jpeg_compress_struct &cinfo = c.cinfo;
    initErrorManager(c.err);
    cinfo.err = &c.err.pub;
    c.dest.device = &device;
    c.dest.pub.init_destination = initDestination;
    c.dest.pub.empty_output_buffer = emptyOutputBuffer;
    c.dest.pub.term_destination = termDestination;

    const uchar *const bits = rgb.constBits();
    const qsizetype stride = rgb.bytesPerLine();
    if (!guarded(c.err, [&] {
            jpeg_create_compress(&cinfo);
            cinfo.dest = &c.dest.pub;
            cinfo.image_width = JDIMENSION(rgb.width());
            cinfo.image_height = JDIMENSION(rgb.height());
            cinfo.input_components = 3;
            cinfo.in_color_space = JCS_RGB;
            jpeg_set_defaults(&cinfo);
            jpeg_set_quality(&cinfo, 90, TRUE);
            jpeg_start_compress(&cinfo, TRUE);
            constexpr JDIMENSION batch = 16;
            JSAMPROW rows[batch];
            while (cinfo.next_scanline < cinfo.image_height) {
                const JDIMENSION count = std::min(batch, cinfo.image_height - cinfo.next_scanline);
                for (JDIMENSION i = 0; i < count; ++i)
                    rows[i]
                        = const_cast<JSAMPROW>(bits + qsizetype(cinfo.next_scanline + i) * stride);
                jpeg_write_scanlines(&cinfo, rows, count);
            }
            jpeg_finish_compress(&cinfo);
        })) {
        if (c.dest.writeFailed)
            return false;
        throwJpegError(c.err);
    }
    return true;
}
