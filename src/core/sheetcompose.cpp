#include "core/sheetcompose.h"

#include "core/bmpdecoder.h"
#include "core/everycore.h"
#include "core/framereader.h"
#include "core/pngfile.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

namespace quorbel {

namespace {

// The frames read on every core at once, each decoded straight into its place when it has the
// size the layout expects and is drawn whole in the sheet's format, the common case, where no
// frame can reach another's pixels; a part of a frame, or a frame of the other format, goes
// through a picture of its own. What cannot go in like that, a frame that cannot be read or one
// of another size, is only noted: the lowest such place in the drawing order decides what happens
// next, as if the frames had gone in one by one.
class ParallelReading
{
public:
    ParallelReading(const QStringList &frames, const QList<Placement> &placements, Picture &sheet,
                    const QList<Picture> &held)
        : m_frames(frames)
        , m_placements(placements)
        , m_held(held)
        , m_sheet(sheet)
        , m_bits(sheet.isNull() ? nullptr : sheet.scanLine(0))
        , m_sizes(size_t(frames.size()))
        , m_run(std::max<qsizetype>(1, frames.size() / (qsizetype(threadCount()) * 32)))
        , m_failed(frames.size())
        , m_firstOther(frames.size())
    {
        onEveryCore(frames.size(), [this] { work(); });
    }

    qsizetype failed() const { return m_failed; }
    const RuntimeError &failure() const { return *m_failure; }
    qsizetype firstOther() const { return m_firstOther; }
    QSize sizeOf(qsizetype index) const { return m_sizes[size_t(index)]; }
    // Whether the frame went into its place here.
    bool inPlace(qsizetype index) const
    {
        const Placement &placed = m_placements.at(index);
        return sizeOf(index) == placed.original && m_sheet.rect().contains(placed.rect);
    }

private:
    void work()
    {
        FrameReader reader;
        Picture frame;
        const bool pngSheet = m_sheet.format() == Picture::Format::Bgra32;
        for (qsizetype k = claim(); k < m_frames.size() && k < m_failed; k = next(k)) {
            const QString &path = m_frames.at(k);
            const Placement &placed = m_placements.at(k);
            try {
                if (k < m_held.size() && !m_held.at(k).isNull()) {
                    m_sizes[size_t(k)] = placed.original;
                    copyInto(m_held.at(k), {}, placed.rect);
                    continue;
                }
                const QByteArrayView file = reader.load(path);
                m_sizes[size_t(k)] = frameSize(path, file);
                if (!inPlace(k)) {
                    lower(m_firstOther, k);
                    continue;
                }
                uchar *first = placeOf(placed.rect.topLeft());
                if (isPngName(path) == pngSheet && !placed.trimmed()) {
                    if (pngSheet)
                        decodePng(file, first, m_sheet.bytesPerLine());
                    else
                        decodeBmp(file, first, m_sheet.bytesPerLine());
                    continue;
                }
                decodeFrame(path, file, frame);
                copyInto(frame, placed.source.topLeft(), placed.rect);
            } catch (const RuntimeError &error) {
                fail(k, error);
            } catch (const std::bad_alloc &) {
                // No exception may leave a thread: memory running short is the frame's error.
                fail(k, RuntimeError(err::OutOfMemory));
            }
        }
    }

    // Frames are claimed a run at a time, not one by one: with thousands of small frames the
    // threads otherwise spend their time passing the counter and the sizes' cache lines between
    // them. About 32 runs a thread still share out frames of uneven cost.
    qsizetype claim() { return m_next.fetch_add(m_run); }
    qsizetype next(qsizetype k) { return (k + 1) % m_run == 0 ? claim() : k + 1; }

    void fail(qsizetype k, const RuntimeError &error)
    {
        const std::lock_guard lock(m_failureLock);
        if (k < m_failed) {
            m_failure = error;
            m_failed = k;
        }
    }

    // The threads write the sheet's pixels through one pointer taken before they started, each
    // into places of its own, so no write goes through the sheet's copy-on-write.
    uchar *placeOf(QPoint at) const
    {
        return m_bits + at.y() * m_sheet.bytesPerLine()
            + qsizetype(at.x()) * m_sheet.bytesPerPixel();
    }

    // The part of the picture from `from` on, in the sheet's format, into its place.
    void copyInto(const Picture &picture, QPoint from, QRect place)
    {
        const size_t bytes = size_t(place.width()) * size_t(m_sheet.bytesPerPixel());
        if (picture.format() == m_sheet.format() && picture.rect() == QRect(from, place.size())) {
            for (int y = 0; y < place.height(); ++y)
                std::memcpy(placeOf(place.topLeft() + QPoint(0, y)), picture.constScanLine(y),
                            bytes);
            return;
        }
        Picture converted(place.size(), m_sheet.format());
        copyPicture(picture, converted, -from);
        for (int y = 0; y < place.height(); ++y)
            std::memcpy(placeOf(place.topLeft() + QPoint(0, y)), converted.constScanLine(y), bytes);
    }

    static void lower(std::atomic<qsizetype> &lowest, qsizetype value)
    {
        for (qsizetype now = lowest; value < now && !lowest.compare_exchange_weak(now, value);) { }
    }

    const QStringList &m_frames;
    const QList<Placement> &m_placements;
    const QList<Picture> &m_held;
    const Picture &m_sheet;
    uchar *const m_bits;
    std::vector<QSize> m_sizes; // each element written by the one thread that read its frame
    const qsizetype m_run;
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

// What a frame read at `size` puts on the sheet: where the layout expected that size, its
// placement; else the frame from the same corner on, as far as it goes, of which the part inside
// its placement is its own.
Placement drawnAs(const Placement &placed, QSize size)
{
    if (size == placed.original)
        return placed;
    const QPoint shift = placed.rect.topLeft() - placed.source.topLeft();
    const QRect shown = QRect(shift, size) & placed.rect;
    return {placed.page, shown, shown.translated(-shift), size};
}

} // namespace

Composition composeSheet(const QStringList &frames, const QList<Placement> &placements,
                         Picture &sheet, int extrusion, const QList<Picture> &held)
{
    const ParallelReading reading(frames, placements, sheet, held);
    const qsizetype failed = reading.failed();
    // What went into the places of the failed frame and of those after it was never to be
    // painted.
    for (qsizetype k = failed; k < frames.size(); ++k) {
        if (reading.inPlace(k))
            blacken(sheet, placements.at(k).rect);
    }
    Composition done;
    for (qsizetype k = 0; k < failed; ++k)
        done.drawn.append(drawnAs(placements.at(k), reading.sizeOf(k)));
    // A frame of another size can reach into the places after its own: from the first of them
    // on, every frame is painted once more, one after the other, over those before it.
    FrameReader reader;
    for (qsizetype k = reading.firstOther(); k < failed; ++k) {
        try {
            decodeFrame(frames.at(k), reader.load(frames.at(k)), done.lastFrame);
        } catch (const RuntimeError &error) {
            throw FrameFailure{k, error};
        }
        const Placement &placed = placements.at(k);
        const QRect part = done.lastFrame.size() == placed.original
            ? placed.source
            : QRect(placed.source.topLeft(), done.lastFrame.rect().bottomRight());
        copyPicture(done.lastFrame, sheet, placed.rect.topLeft(), part);
    }
    if (failed < frames.size())
        throw FrameFailure{failed, reading.failure()};
    for (const Placement &placed : std::as_const(done.drawn))
        extrude(sheet, placed.rect, extrusion);
    if (!frames.isEmpty() && reading.firstOther() == frames.size())
        done.lastFrame = sheet.copy(placements.constLast().rect);
    return done;
}

QList<QSize> Composition::frameSizes() const
{
    QList<QSize> sizes;
    for (const Placement &placed : drawn)
        sizes.append(placed.original);
    return sizes;
}

Shortfall shortfallOf(const QStringList &names, qsizetype cells, QSize size,
                      const QList<QSize> &sizes)
{
    Shortfall shortfall;
    shortfall.leftOut = names.mid(cells);
    for (qsizetype k = 0; k < sizes.size(); ++k) {
        if (sizes.at(k) != size)
            shortfall.otherSize.append({names.at(k), sizes.at(k)});
    }
    return shortfall;
}

} // namespace quorbel
