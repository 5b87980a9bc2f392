// The floor of quorbel-sheet's PNG job on one core, with the standard library of the format: no
// Qt, no checks beyond what the benchmark's own frames need. It lists the folder, sorts the names,
// reads each frame with one read and decodes it with libpng straight into its cell of the sheet,
// then writes the sheet with libpng's defaults (its adaptive row filters, zlib at level 6) to a
// new file beside the target, renamed over it.
//
// Run: png_limit FOLDER ROWS SHEET

#include "floorfiles.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <png.h>

namespace {

// The frame's pixels, 8-bit RGBA as the benchmark writes them, into rows `stride` bytes apart;
// with no rows, only its size.
void decode(const std::vector<unsigned char> &file, std::size_t size, png_uint_32 &width,
            png_uint_32 &height, unsigned char *first = nullptr, std::size_t stride = 0)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), size))
        fail("not a PNG");
    width = image.width;
    height = image.height;
    image.format = PNG_FORMAT_RGBA;
    if (first && !png_image_finish_read(&image, nullptr, first, png_int_32(stride), nullptr))
        fail("PNG cut short");
    png_image_free(&image);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: png_limit FOLDER ROWS SHEET\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int rows = std::atoi(argv[2]);
    const std::string sheetPath = argv[3];

    const std::vector<std::string> names = frameNames(folder, ".png");
    if (names.empty())
        fail(folder + ": no frames");
    std::vector<unsigned char> frame;
    png_uint_32 frameWidth = 0, frameHeight = 0;
    decode(frame, readFile(folder + '/' + names.front(), frame), frameWidth, frameHeight);
    // Frames per row: the frame count over the rows, rounded half to even.
    std::fesetround(FE_TONEAREST);
    const int perRow = int(std::nearbyint(double(names.size()) / rows));
    const std::size_t width = std::size_t(frameWidth) * perRow;
    const std::size_t height = std::size_t(frameHeight) * rows;
    const std::size_t stride = width * 4;
    std::vector<unsigned char> sheet(stride * height, 0);

    const std::size_t cells = std::size_t(perRow) * rows;
    for (std::size_t k = 0; k < names.size() && k < cells; ++k) {
        unsigned char *cell =
            sheet.data() + (k / perRow) * frameHeight * stride + (k % perRow) * frameWidth * 4;
        decode(frame, readFile(folder + '/' + names[k], frame), frameWidth, frameHeight, cell,
               stride);
    }

    const std::string beside = sheetPath + ".new";
    FILE *file = std::fopen(beside.c_str(), "wbx");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!file || !info || setjmp(png_jmpbuf(png)))
        fail(sheetPath);
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::size_t y = 0; y < height; ++y)
        png_write_row(png, sheet.data() + y * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0 || rename(beside.c_str(), sheetPath.c_str()) != 0)
        fail(sheetPath);
    return 0;
}
