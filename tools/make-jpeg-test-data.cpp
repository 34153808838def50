// Writes the JPEG files of tests/data, each named after the fault it guards. Every picture
// shows, upright, four quadrants: red top-left, green top-right, blue bottom-left and a fourth
// colour bottom-right (white, or mid-gray for the CMYK files, so that their black ink counts).
//
//   g++ -std=c++20 -O2 tools/make-jpeg-test-data.cpp -ljpeg -o /tmp/make-jpeg-test-data
//   /tmp/make-jpeg-test-data tests/data

#include <array>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace {

constexpr int width = 64;
constexpr int height = 32;

using Pixel = std::array<unsigned char, 4>;

// The upright quadrant colour at (x, y), as RGB or as CMYK ink amounts (255 = full ink).
Pixel quadrant(int x, int y, bool cmyk)
{
    const int index = (y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1);
    static const Pixel rgb[] = { { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 }, { 255, 255, 255 } };
    static const Pixel ink[]
        = { { 0, 255, 255, 0 }, { 255, 0, 255, 0 }, { 255, 255, 0, 0 }, { 0, 0, 0, 128 } };
    return cmyk ? ink[index] : rgb[index];
}

struct Options {
    J_COLOR_SPACE stored = JCS_YCbCr;
    bool adobeMarker = false;
    bool invertInk = false;
    bool exifOrientation6 = false;
};

// An Exif block holding one orientation tag (6: rotate 90 degrees clockwise to show), big-endian.
std::vector<JOCTET> exifOrientation6()
{
    return { 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0,
        1, 0, 6, 0, 0, 0, 0, 0, 0 };
}

std::vector<unsigned char> encode(const Options &options)
{
    const bool cmyk = options.stored == JCS_CMYK || options.stored == JCS_YCCK;
    // Orientation 6 stores the upright picture turned a quarter counter-clockwise.
    const int storedWidth = options.exifOrientation6 ? height : width;
    const int storedHeight = options.exifOrientation6 ? width : height;
    const int components = cmyk ? 4 : 3;

    jpeg_compress_struct cinfo {};
    jpeg_error_mgr err {};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(storedWidth);
    cinfo.image_height = JDIMENSION(storedHeight);
    cinfo.input_components = components;
    cinfo.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, options.stored);
    cinfo.write_Adobe_marker = options.adobeMarker ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    if (options.exifOrientation6) {
        const std::vector<JOCTET> exif = exifOrientation6();
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
    }

    std::vector<JSAMPLE> row(size_t(storedWidth * components));
    for (int y = 0; y < storedHeight; ++y) {
        for (int x = 0; x < storedWidth; ++x) {
            // Stored (x, y) shows at upright (storedHeight - 1 - y, x) after the clockwise turn.
            const Pixel p = options.exifOrientation6 ? quadrant(storedHeight - 1 - y, x, cmyk)
                                                     : quadrant(x, y, cmyk);
            for (int c = 0; c < components; ++c)
                row[size_t(x * components + c)] = JSAMPLE(options.invertInk ? 255 - p[c] : p[c]);
        }
        JSAMPROW rows[] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<unsigned char> data(out, out + size);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return data;
}

bool save(const std::string &path, const std::vector<unsigned char> &data)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <tests/data folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    // Photoshop and most print workflows write CMYK with an Adobe marker and the ink inverted.
    const auto adobe = encode({ JCS_CMYK, true, true, false });
    const auto ycck = encode({ JCS_YCCK, true, true, false });
    const auto plain = encode({ JCS_CMYK, false, false, false });
    const auto rotated = encode({ JCS_YCbCr, false, false, true });
    const auto whole = encode({});
    // Cut three quarters into the scan data: the top half decodes, the bottom right is missing.
    size_t scan = 0;
    while (scan + 1 < whole.size() && !(whole[scan] == 0xFF && whole[scan + 1] == 0xDA))
        ++scan;
    const std::vector<unsigned char> truncated(
        whole.begin(), whole.begin() + long(scan + (whole.size() - scan) * 3 / 4));

    bool ok = save(folder + "cmyk-adobe-inverted.jpg", adobe);
    ok = save(folder + "cmyk-ycck-adobe-inverted.jpg", ycck) && ok;
    ok = save(folder + "cmyk-without-adobe-marker.jpg", plain) && ok;
    ok = save(folder + "exif-orientation-6-rotated.jpg", rotated) && ok;
    ok = save(folder + "jpeg-truncated-in-scan.jpg", truncated) && ok;
    return ok ? 0 : 1;
}
