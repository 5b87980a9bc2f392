#include "core/sheetcompose.h"

#include "core/bitmapfile.h"
#include "core/bmpdecoder.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <optional>
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
        , m_stride(sheet.bytesPerLine())
        , m_sheet(sheet.isNull() ? nullptr : sheet.scanLine(0))
        , m_sheetRect(sheet.rect())
        , m_sizes(size_t(frames.size()))
        , m_failed(frames.size())
        , m_firstOther(frames.size())
    {
        const unsigned helpers = std::max(1u, std::thread::hardware_concurrency()) - 1;
        std::vector<std::thread> threads;
        for (unsigned i = 0; i < helpers && i + 1 < unsigned(frames.size()); ++i)
            threads.emplace_back([this] { work(); });
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
        BitmapReader reader;
        for (qsizetype k = m_next++; k < m_frames.size() && k < m_failed; k = m_next++) {
            try {
                const QByteArrayView file = reader.load(m_frames.at(k));
                const QSize size = bmpSize(file);
                m_sizes[size_t(k)] = size;
                const QRect cell(m_grid.cellAt(k), m_grid.cell);
                if (size != m_grid.cell || !m_sheetRect.contains(cell)) {
                    lower(m_firstOther, k);
                    continue;
                }
                decodeBmp(file, m_sheet + cell.y() * m_stride + cell.x() * 3, m_stride);
            } catch (const RuntimeError &error) {
                const std::lock_guard lock(m_failureLock);
                if (k < m_failed) {
                    m_failure = error;
                    m_failed = k;
                }
            }
        }
    }

    static void lower(std::atomic<qsizetype> &lowest, qsizetype value)
    {
        for (qsizetype now = lowest; value < now && !lowest.compare_exchange_weak(now, value);) {
        }
    }

    const QStringList &m_frames;
    const SheetGrid &m_grid;
    const qsizetype m_stride;
    uchar *const m_sheet;
    const QRect m_sheetRect;
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
        std::memset(sheet.scanLine(y) + area.x() * 3, 0, size_t(area.width()) * 3);
}

} // namespace

Composition composeSheet(const QStringList &frames, const SheetGrid &grid, Picture &sheet)
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
    BitmapReader reader;
    for (qsizetype k = reading.firstOther(); k < failed; ++k) {
        try {
            reader.read(frames.at(k), done.lastFrame);
        } catch (const RuntimeError &error) {
            throw FrameFailure{k, error};
        }
        copyPicture(done.lastFrame, sheet, grid.cellAt(k));
    }
    if (failed < frames.size())
        throw FrameFailure{failed, reading.failure()};
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
