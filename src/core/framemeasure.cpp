#include "core/framemeasure.h"

#include "core/everycore.h"
#include "core/framereader.h"
#include "core/picture.h"

#include <QHash>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <numeric>
#include <tuple>
#include <vector>

namespace quorbel {

namespace {

bool shows(const uchar *pixel, int bytes, std::optional<quint32> key)
{
    if (bytes == 4 && pixel[3] == 0)
        return false;
    return !key || (quint32(pixel[2]) << 16 | quint32(pixel[1]) << 8 | pixel[0]) != *key;
}

QRect boundsOf(const Picture &frame, std::optional<quint32> key)
{
    const int bytes = frame.bytesPerPixel();
    int left = frame.width(), right = -1, top = frame.height(), bottom = -1;
    for (int y = 0; y < frame.height(); ++y) {
        const uchar *row = frame.constScanLine(y);
        int x = 0;
        while (x < frame.width() && !shows(row + x * bytes, bytes, key))
            ++x;
        if (x == frame.width())
            continue;
        int last = frame.width() - 1;
        while (!shows(row + last * bytes, bytes, key))
            --last;
        left = std::min(left, x);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The kept pixels as blue, green, red and alpha, so frames compare alike whatever their format.
Picture keptPixels(const Picture &frame, QRect kept)
{
    Picture part(kept.size(), Picture::Format::Bgra32);
    copyPicture(frame, part, -kept.topLeft());
    return part;
}

size_t hashOf(const Picture &pixels)
{
    return qHashBits(pixels.constBits(), size_t(pixels.bytesPerLine()) * size_t(pixels.height()));
}

// Jobs that read frames, run on every core, each by one thread with a reader and a picture of its
// own. A job starts with a read; what fails is the error of the frame read last, and the first
// frame in order that failed is thrown.
class FrameJobs
{
public:
    explicit FrameJobs(const QStringList &frames) : m_frames(frames) { }

    // job(j, read), where read(k) gives frame k, valid until the next read.
    template <typename Job>
    void run(qsizetype jobs, const Job &job)
    {
        std::atomic<qsizetype> next = 0;
        onEveryCore(jobs, [&] {
            FrameReader reader;
            Picture frame;
            qsizetype k = 0;
            const auto read = [&](qsizetype index) -> const Picture & {
                k = index;
                reader.read(m_frames.at(k), frame);
                return frame;
            };
            for (qsizetype j = next++; j < jobs; j = next++) {
                try {
                    job(j, read);
                } catch (const RuntimeError &error) {
                    fail(k, error);
                } catch (const std::bad_alloc &) {
                    fail(k, RuntimeError(err::OutOfMemory));
                }
            }
        });
        if (m_failure)
            throw *m_failure;
    }

private:
    void fail(qsizetype k, const RuntimeError &error)
    {
        const std::lock_guard lock(m_failureLock);
        if (!m_failure || k < m_failure->index)
            m_failure = FrameFailure{k, error};
    }

    const QStringList &m_frames;
    std::optional<FrameFailure> m_failure;
    std::mutex m_failureLock;
};

// What measuring holds of the frames' kept pixels, within a budget: enough for every frame of
// thousands of sprites, not for a folder of frames that fill gigabytes.
class Keeping
{
public:
    Keeping(QList<Picture> *keep, qsizetype frames)
        : m_pixels(keep ? (keep->resize(frames), keep->data()) : nullptr)
    {
    }

    bool wanted() const { return m_pixels; }
    const Picture *held(qsizetype k) const
    {
        return m_pixels && !m_pixels[k].isNull() ? &m_pixels[k] : nullptr;
    }
    void hold(qsizetype k, Picture &&pixels)
    {
        const qint64 bytes = pixels.bytesPerLine() * pixels.height();
        if ((m_held += bytes) <= Budget)
            m_pixels[k] = std::move(pixels);
        else
            m_held -= bytes;
    }
    void drop(qsizetype k)
    {
        if (const Picture *pixels = held(k)) {
            m_held -= pixels->bytesPerLine() * pixels->height();
            m_pixels[k] = Picture();
        }
    }

private:
    static constexpr qint64 Budget = qint64(512) << 20;
    Picture *const m_pixels; // each element written by the one thread working on its frame
    std::atomic<qint64> m_held = 0;
};

// Frames that may be alike, in drawing order, each compared with the first frame of every kind
// of pixels met among them so far; a frame alike an earlier one need not be held.
template <typename Read>
void sortOutAlike(const std::vector<qsizetype> &group, FrameMeasure *each, Keeping &keeping,
                  const Read &read)
{
    std::vector<std::pair<qsizetype, Picture>> kinds;
    for (const qsizetype k : group) {
        const Picture *held = keeping.held(k);
        const Picture pixels = held ? *held : keptPixels(read(k), each[k].kept());
        const auto same = std::find_if(kinds.begin(), kinds.end(),
                                       [&](const auto &kind) { return kind.second == pixels; });
        each[k].alike = same != kinds.end() ? same->first : k;
        if (same == kinds.end())
            kinds.emplace_back(k, pixels);
        else
            keeping.drop(k);
    }
}

} // namespace

QList<FrameMeasure> measureFrames(const QStringList &frames, std::optional<quint32> key,
                                  bool findAlike, QList<Picture> *keep)
{
    QList<FrameMeasure> measured(frames.size());
    FrameMeasure *const each = measured.data(); // written by the threads without a detach
    std::vector<size_t> hashes(findAlike ? size_t(frames.size()) : 0);
    Keeping keeping(keep, frames.size());
    FrameJobs jobs(frames);
    jobs.run(frames.size(), [&](qsizetype k, const auto &read) {
        const Picture &frame = read(k);
        each[k] = {frame.size(), boundsOf(frame, key), k};
        if (!findAlike && !keeping.wanted())
            return;
        Picture pixels = keptPixels(frame, each[k].kept());
        if (findAlike)
            hashes[size_t(k)] = hashOf(pixels);
        if (keeping.wanted())
            keeping.hold(k, std::move(pixels));
    });
    if (!findAlike)
        return measured;
    // Frames that may be alike: of one kept size and one hash.
    const auto kind = [&](qsizetype k) {
        const QSize kept = each[k].kept().size();
        return std::tuple(kept.width(), kept.height(), hashes[size_t(k)]);
    };
    std::vector<qsizetype> order(size_t(frames.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return kind(a) < kind(b); });
    std::vector<std::vector<qsizetype>> groups;
    for (auto first = order.begin(); first != order.end();) {
        const auto end =
            std::find_if(first, order.end(), [&](qsizetype k) { return kind(k) != kind(*first); });
        if (end - first > 1)
            groups.emplace_back(first, end);
        first = end;
    }
    jobs.run(qsizetype(groups.size()), [&](qsizetype g, const auto &read) {
        sortOutAlike(groups[size_t(g)], each, keeping, read);
    });
    return measured;
}

} // namespace quorbel
