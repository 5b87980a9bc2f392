#include "core/framemeasure.h"

#include "core/everycore.h"
#include "core/framereader.h"
#include "core/picture.h"

#include <atomic>
#include <mutex>
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

} // namespace

QList<FrameMeasure> measureFrames(const QStringList &frames, std::optional<quint32> key)
{
    QList<FrameMeasure> measured(frames.size());
    FrameMeasure *const each = measured.data(); // written by the threads without a detach
    std::atomic<qsizetype> next = 0;
    std::optional<FrameFailure> failure;
    std::mutex failureLock;
    const auto fail = [&](qsizetype k, const RuntimeError &error) {
        const std::lock_guard lock(failureLock);
        if (!failure || k < failure->index)
            failure = FrameFailure{k, error};
    };
    onEveryCore(frames.size(), [&] {
        FrameReader reader;
        Picture frame;
        for (qsizetype k = next++; k < frames.size(); k = next++) {
            try {
                reader.read(frames.at(k), frame);
                each[k] = {frame.size(), boundsOf(frame, key)};
            } catch (const RuntimeError &error) {
                fail(k, error);
            } catch (const std::bad_alloc &) {
                fail(k, RuntimeError(err::OutOfMemory));
            }
        }
    });
    if (failure)
        throw *failure;
    return measured;
}

} // namespace quorbel
