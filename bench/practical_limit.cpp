// The floor of the job Quorbel does, on one core: no Qt, no checks beyond what the benchmark's
// own frames need, just the system calls and copies the work cannot do without. It lists the
// folder, sorts the names, reads each frame with one read straight after its open, copies the
// frame's rows into a sheet buffer already laid out as a 24-bit bitmap, and writes that the way
// Quorbel does, so that the old sheet survives any failure: to a new file beside the target whose
// room is claimed first, with one write, renamed over the target.
//
// Run: practical_limit FOLDER ROWS SHEET ROUNDS
// Prints the median milliseconds of ROUNDS runs, after one run that warms the caches; with ROUNDS
// 0 it does the job once and prints nothing, to be timed as a whole process.

#include "floorfiles.h"

#include <algorithm>
#include <cfenv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t HeadersSize = 54;

std::uint32_t le32(const unsigned char *at)
{
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16
        | std::uint32_t(at[3]) << 24;
}

void put32(unsigned char *at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void composeSheet(const std::string &folder, int rows, const std::string &sheetPath)
{
    const std::vector<std::string> names = frameNames(folder, ".bmp");
    if (names.empty())
        fail(folder + ": no frames");
    std::vector<unsigned char> frame;
    readFile(folder + '/' + names.front(), frame);
    const int frameWidth = int(le32(&frame[18]));
    const int frameHeight = int(le32(&frame[22]));
    // Frames per row: the frame count over the rows, rounded half to even.
    std::fesetround(FE_TONEAREST);
    const int perRow = int(std::nearbyint(double(names.size()) / rows));
    const std::size_t width = std::size_t(frameWidth) * perRow;
    const std::size_t height = std::size_t(frameHeight) * rows;
    const std::size_t stride = (width * 3 + 3) & ~std::size_t(3);
    const std::size_t frameStride = (std::size_t(frameWidth) * 3 + 3) & ~std::size_t(3);

    std::vector<unsigned char> sheet(HeadersSize + stride * height, 0);
    unsigned char *header = sheet.data();
    header[0] = 'B';
    header[1] = 'M';
    put32(header + 2, std::uint32_t(sheet.size()));
    put32(header + 10, HeadersSize);
    put32(header + 14, 40);
    put32(header + 18, std::uint32_t(width));
    put32(header + 22, std::uint32_t(height));
    header[26] = 1;
    header[28] = 24;
    put32(header + 34, std::uint32_t(stride * height));
    put32(header + 38, 2835);
    put32(header + 42, 2835);
    unsigned char *pixels = sheet.data() + HeadersSize;

    const std::size_t cells = std::size_t(perRow) * rows;
    for (std::size_t k = 0; k < names.size() && k < cells; ++k) {
        readFile(folder + '/' + names[k], frame);
        const unsigned char *framePixels = frame.data() + le32(&frame[10]);
        const std::size_t left = (k % perRow) * frameWidth * 3;
        const std::size_t top = (k / perRow) * frameHeight;
        // Both are stored bottom-up: the frame's last stored row is its top row.
        for (int y = 0; y < frameHeight; ++y) {
            const unsigned char *from =
                framePixels + std::size_t(frameHeight - 1 - y) * frameStride;
            unsigned char *to = pixels + (height - 1 - top - y) * stride + left;
            std::memcpy(to, from, std::size_t(frameWidth) * 3);
        }
    }

    const std::string beside = sheetPath + ".new";
    const int fd = open(beside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 || posix_fallocate(fd, 0, off_t(sheet.size())) != 0
        || write(fd, sheet.data(), sheet.size()) != ssize_t(sheet.size()) || close(fd) != 0
        || rename(beside.c_str(), sheetPath.c_str()) != 0)
        fail(sheetPath);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: practical_limit FOLDER ROWS SHEET ROUNDS\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int rows = std::atoi(argv[2]);
    const std::string sheet = argv[3];
    const int rounds = std::atoi(argv[4]);

    composeSheet(folder, rows, sheet);
    if (rounds <= 0)
        return 0;
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        composeSheet(folder, rows, sheet);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    std::printf("%.3f\n", times[times.size() / 2]);
    return 0;
}
