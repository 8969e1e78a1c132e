#include "PngImage.h"

#include <png.h>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

} // namespace

std::vector<uint8_t> encodePng(const uint32_t* pixels, int width, int height) {
    std::vector<uint8_t> out;
    if (!pixels || width <= 0 || height <= 0) return out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(size_t(width) * 3);
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &out, appendBytes, noFlush);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            const uint32_t* line = pixels + size_t(y) * size_t(width);
            for (int x = 0; x < width; ++x) {
                row[size_t(x) * 3] = png_byte(line[x] >> 16);
                row[size_t(x) * 3 + 1] = png_byte(line[x] >> 8);
                row[size_t(x) * 3 + 2] = png_byte(line[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    } else {
        out.clear();
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return out;
}
