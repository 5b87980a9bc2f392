#include "core/sheetcompose.h"

#include "core/bmpdecoder.h"
#include "core/framereader.h"
#include "core/pngfile.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace quorbel {

namespace {

// The frames read on every core at once, each decoded straight into its cell when it has the
// cell's size, the common case, where no frame can reach another's pixels. What cannot go
// straight in, a frame that cannot be read or one of another size, is only noted: the lowest such
// place in the drawing order decides what happens next, as if the frames had gone in one by one.
class ParallelReading
{
public:
    ParallelReading(const QStringList &frames, const SheetGrid &grid, Picture &sheet)
        : m_frames(frames)
        , m_grid(grid)
        , m_sheet(sheet)
        , m_bits(sheet.isNull() ? nullptr : sheet.scanLine(0))
        , m_sizes(size_t(frames.size()))
        , m_failed(frames.size())
        , m_firstOther(frames.size())
    {
        const unsigned helpers = std::max(1u, std::thread::hardware_concurrency()) - 1;
        std::vector<std::thread> threads;
        try {
            for (unsigned i = 0; i < helpers && i + 1 < unsigned(frames.size()); ++i)
                threads.emplace_back([this] { work(); });
        } catch (const std::system_error &) {
            // Fewer threads than cores: the ones there are read every frame just the same.
        }
        work();
        for (std::thread &thread : threads)
            thread.join();
    }

    qsizetype failed() const { return m_failed; }
    const RuntimeError &failure() const { return *m_failure; }
    qsizetype firstOther() const { return m_firstOther; }
    QSize sizeOf(qsizetype index) const { return m_sizes[size_t(index)]; }

private:
    void work()
    {
        FrameReader reader;
        Picture frame;
        const bool pngSheet = m_sheet.format() == Picture::Format::Bgra32;
        for (qsizetype k = m_next++; k < m_frames.size() && k < m_failed; k = m_next++) {
            const QString &path = m_frames.at(k);
            try {
                const QByteArrayView file = reader.load(path);
                const QSize size = frameSize(path, file);
                m_sizes[size_t(k)] = size;
                const QRect cell(m_grid.cellAt(k), m_grid.cell);
                if (size != m_grid.cell || !m_sheet.rect().contains(cell)) {
                    lower(m_firstOther, k);
                    continue;
                }
                uchar *first = placeOf(cell.topLeft());
                if (isPngName(path) == pngSheet) {
                    if (pngSheet)
                        decodePng(file, first, m_sheet.bytesPerLine());
                    else
                        decodeBmp(file, first, m_sheet.bytesPerLine());
                    continue;
                }
                decodeFrame(path, file, frame);
                copyInto(frame, cell);
            } catch (const RuntimeError &error) {
                fail(k, error);
            } catch (const std::bad_alloc &) {
                // No exception may leave a thread: memory running short is the frame's error.
                fail(k, RuntimeError(err::OutOfMemory));
            }
        }
    }

    void fail(qsizetype k, const RuntimeError &error)
    {
        const std::lock_guard lock(m_failureLock);
        if (k < m_failed) {
            m_failure = error;
            m_failed = k;
        }
    }

    // The threads write the sheet's pixels through one pointer taken before they started, each
    // into cells of its own, so no write goes through the sheet's copy-on-write.
    uchar *placeOf(QPoint at) const
    {
        return m_bits + at.y() * m_sheet.bytesPerLine()
            + qsizetype(at.x()) * m_sheet.bytesPerPixel();
    }

    // A frame of the cell's size but the other format, converted into its cell.
    void copyInto(const Picture &frame, QRect cell)
    {
        Picture converted(cell.size(), m_sheet.format());
        copyPicture(frame, converted, QPoint(0, 0));
        for (int y = 0; y < cell.height(); ++y)
            std::memcpy(placeOf(cell.topLeft() + QPoint(0, y)), converted.constScanLine(y),
                        size_t(cell.width()) * size_t(m_sheet.bytesPerPixel()));
    }

    static void lower(std::atomic<qsizetype> &lowest, qsizetype value)
    {
        for (qsizetype now = lowest; value < now && !lowest.compare_exchange_weak(now, value);) { }
    }

    const QStringList &m_frames;
    const SheetGrid &m_grid;
    const Picture &m_sheet;
    uchar *const m_bits;
    std::vector<QSize> m_sizes; // each element written by the one thread that read its frame
    std::atomic<qsizetype> m_next = 0;
    std::atomic<qsizetype> m_failed;
    std::optional<RuntimeError> m_failure;
    std::mutex m_failureLock;
    std::atomic<qsizetype> m_firstOther;
};

void blacken(Picture &sheet, QRect area)
{
    area &= sheet.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memset(sheet.scanLine(y) + qsizetype(area.x()) * sheet.bytesPerPixel(), 0,
                    size_t(area.width()) * size_t(sheet.bytesPerPixel()));
}

// The frame's outermost pixels repeated outward, `by` times on every side, as far as the sheet
// goes: first the left and right columns, then the top and bottom rows with them, so the corners
// take the corner pixels.
void extrude(Picture &sheet, QRect frame, int by)
{
    frame &= sheet.rect();
    if (frame.isEmpty() || by == 0)
        return;
    // In bytes as wide as the offsets: a sheet may be wider than an int's bytes.
    const qsizetype pixel = sheet.bytesPerPixel();
    const int left = std::max(0, frame.left() - by);
    const int right = std::min(sheet.width() - 1, frame.right() + by);
    for (int y = frame.top(); y <= frame.bottom(); ++y) {
        uchar *row = sheet.scanLine(y);
        for (int x = left; x < frame.left(); ++x)
            std::memcpy(row + x * pixel, row + frame.left() * pixel, size_t(pixel));
        for (int x = frame.right() + 1; x <= right; ++x)
            std::memcpy(row + x * pixel, row + frame.right() * pixel, size_t(pixel));
    }
    const size_t span = size_t(right - left + 1) * size_t(pixel);
    for (int y = std::max(0, frame.top() - by); y < frame.top(); ++y)
        std::memcpy(sheet.scanLine(y) + left * pixel,
                    sheet.constScanLine(frame.top()) + left * pixel, span);
    for (int y = frame.bottom() + 1; y <= std::min(sheet.height() - 1, frame.bottom() + by); ++y)
        std::memcpy(sheet.scanLine(y) + left * pixel,
                    sheet.constScanLine(frame.bottom()) + left * pixel, span);
}

} // namespace

Composition composeSheet(const QStringList &frames, const SheetGrid &grid, Picture &sheet,
                         int extrusion)
{
    const ParallelReading reading(frames, grid, sheet);
    const qsizetype failed = reading.failed();
    // What went into the cells of the failed frame and of those after it was never to be painted.
    for (qsizetype k = failed; k < frames.size(); ++k) {
        if (reading.sizeOf(k) == grid.cell)
            blacken(sheet, QRect(grid.cellAt(k), grid.cell));
    }
    Composition done;
    for (qsizetype k = 0; k < failed; ++k)
        done.frameSizes.append(reading.sizeOf(k));
    // A frame of another size can reach into the cells after its own: from the first of them on,
    // every frame is painted once more, one after the other, over those before it.
    FrameReader reader;
    for (qsizetype k = reading.firstOther(); k < failed; ++k) {
        try {
            decodeFrame(frames.at(k), reader.load(frames.at(k)), done.lastFrame);
        } catch (const RuntimeError &error) {
            throw FrameFailure{k, error};
        }
        copyPicture(done.lastFrame, sheet, grid.cellAt(k));
    }
    if (failed < frames.size())
        throw FrameFailure{failed, reading.failure()};
    for (qsizetype k = 0; k < frames.size(); ++k)
        extrude(sheet, QRect(grid.cellAt(k), done.frameSizes.at(k)), extrusion);
    if (!frames.isEmpty() && reading.firstOther() == frames.size())
        done.lastFrame = sheet.copy(QRect(grid.cellAt(frames.size() - 1), grid.cell));
    return done;
}

Shortfall shortfallOf(const QStringList &names, const SheetGrid &grid, const QList<QSize> &sizes)
{
    Shortfall shortfall;
    shortfall.leftOut = names.mid(grid.cells());
    for (qsizetype k = 0; k < sizes.size(); ++k) {
        if (sizes.at(k) != grid.cell)
            shortfall.otherSize.append({names.at(k), sizes.at(k)});
    }
    return shortfall;
}

} // namespace quorbel
