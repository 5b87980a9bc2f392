#include "core/pngencoder.h"

#include "core/deflatepieces.h"
#include "core/everycore.h"
#include "core/picture.h"
#include "core/pngrowfilter.h"
#include "core/runtimeerror.h"
#include "core/vectorstate.h"

#include <QtEndian>

#include <libdeflate.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace quorbel {

namespace {

// The rows are compressed in bands of about this many bytes whatever the number of threads, so
// that the file is the same on every machine. No band refers back into the one before it, which
// costs about a thousandth of the file's size at this size; smaller bands would share the work
// out more evenly and cost more.
constexpr qsizetype BandBytes = qsizetype(1) << 20;

int deflateLevel(PngLevel level)
{
    switch (level) {
    case PngLevel::Fast:
        return 1;
    case PngLevel::Default:
        return 6;
    case PngLevel::Best:
        break;
    }
    return 12;
}

QByteArray chunk(const char *type, QByteArrayView data)
{
    QByteArray bytes(12 + data.size(), Qt::Uninitialized);
    qToBigEndian(quint32(data.size()), bytes.data());
    std::memcpy(bytes.data() + 4, type, 4);
    std::copy(data.begin(), data.end(), bytes.begin() + 8);
    const auto crc = quint32(libdeflate_crc32(0, bytes.data() + 4, size_t(data.size()) + 4));
    qToBigEndian(crc, bytes.data() + 8 + data.size());
    return bytes;
}

QByteArray headers(const Picture &picture)
{
    QByteArray header(13, '\0');
    qToBigEndian(quint32(picture.width()), header.data());
    qToBigEndian(quint32(picture.height()), header.data() + 4);
    header[8] = 8; // bits a channel
    header[9] = picture.format() == Picture::Format::Bgra32 ? 6 : 2; // RGBA or RGB
    return QByteArray("\x89PNG\r\n\x1a\n") + chunk("IHDR", header);
}

// A band's rows filtered and compressed, as one IDAT chunk, and the checksum of its filtered rows.
struct Band
{
    QByteArray chunk;
    quint32 adler32;
    qsizetype length;
};

// The bands are taken in order by every thread, the one that writes included, and written in
// order by that one. A thread starts no band further than a few ahead of the one written next,
// so what waits to be written stays small.
class ParallelPng
{
public:
    ParallelPng(const Picture &picture, PngLevel level)
        : m_picture(picture)
        , m_level(deflateLevel(level))
        , m_rowBytes(qsizetype(picture.width()) * picture.bytesPerPixel())
        , m_rowsPerBand(int(
              std::clamp(BandBytes / (m_rowBytes + 1), qsizetype(1), qsizetype(picture.height()))))
        , m_bands((picture.height() + m_rowsPerBand - 1) / m_rowsPerBand)
        , m_threads(threadCount())
        , m_ahead(2 * qsizetype(m_threads))
        , m_done(size_t(m_bands))
    {
    }

    void write(const ByteSink &sink)
    {
        clearUpperVectorState();
        std::vector<std::thread> helpers;
        try {
            for (unsigned i = 1; i < m_threads && i < unsigned(m_bands); ++i)
                helpers.emplace_back([this] { help(); });
        } catch (const std::system_error &) {
            // Fewer threads than asked for: the bands are the same, only later.
        }
        try {
            writeInOrder(sink);
        } catch (...) {
            fail(std::current_exception());
        }
        for (std::thread &helper : helpers)
            helper.join();
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

private:
    void help()
    {
        clearUpperVectorState();
        std::optional<PieceDeflater> deflater;
        std::unique_lock lock(m_lock);
        while (true) {
            m_changed.wait(lock, [this] {
                return m_failure || m_next == m_bands || m_next < m_written + m_ahead;
            });
            const std::optional<int> band = take();
            if (!band)
                return;
            encode(*band, deflater, lock);
        }
    }

    void writeInOrder(const ByteSink &sink)
    {
        sink({headers(m_picture)});
        std::optional<PieceDeflater> deflater;
        quint32 adler32 = 1;
        std::unique_lock lock(m_lock);
        while (m_written < m_bands && !m_failure) {
            if (std::optional<Band> &next = m_done[size_t(m_written)]) {
                const Band band = std::move(*next);
                next.reset();
                lock.unlock();
                sink({band.chunk});
                adler32 = combinedAdler32(adler32, band.adler32, band.length);
                lock.lock();
                ++m_written;
                m_changed.notify_all();
            } else if (const std::optional<int> band = take()) {
                encode(*band, deflater, lock);
            } else {
                m_changed.wait(lock);
            }
        }
        if (m_failure)
            return;
        lock.unlock();
        sink({chunk("IDAT", zlibTrailer(adler32)), chunk("IEND", {})});
    }

    // The next band to encode, unless there is none or it would be too far ahead; under the lock.
    std::optional<int> take()
    {
        if (m_failure || m_next == m_bands || m_next >= m_written + m_ahead)
            return std::nullopt;
        return int(m_next++);
    }

    // Encodes the band without the lock, and keeps it for writing.
    void encode(int band, std::optional<PieceDeflater> &deflater,
                std::unique_lock<std::mutex> &lock)
    {
        lock.unlock();
        std::optional<Band> done;
        std::exception_ptr failure;
        try {
            if (!deflater)
                deflater.emplace(m_level);
            done = encodeBand(band, *deflater);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure && !m_failure)
            m_failure = failure;
        m_done[size_t(band)] = std::move(done);
        m_changed.notify_all();
    }

    void fail(std::exception_ptr failure)
    {
        const std::lock_guard lock(m_lock);
        if (!m_failure)
            m_failure = failure;
        m_changed.notify_all();
    }

    Band encodeBand(int band, PieceDeflater &deflater) const
    {
        const int first = band * m_rowsPerBand;
        const int rows = std::min(m_rowsPerBand, m_picture.height() - first);
        QByteArray filtered((m_rowBytes + 1) * rows, Qt::Uninitialized);
        std::vector<uchar> above(size_t(m_rowBytes), 0);
        std::vector<uchar> row(above.size());
        if (first > 0)
            inFileOrder(m_picture.constScanLine(first - 1), above.data());
        for (int y = 0; y < rows; ++y) {
            inFileOrder(m_picture.constScanLine(first + y), row.data());
            filterRow(row.data(), above.data(), m_rowBytes, m_picture.bytesPerPixel(),
                      reinterpret_cast<uchar *>(filtered.data()) + y * (m_rowBytes + 1));
            above.swap(row);
        }
        const DeflatedPiece piece = deflater.deflate(filtered, band + 1 == m_bands);
        const QByteArray data = band == 0 ? zlibHeader(m_level) + piece.deflated : piece.deflated;
        return {chunk("IDAT", data), piece.adler32, piece.length};
    }

    // A picture's row of blue, green, red (and alpha) as the file has it: red, green, blue.
    void inFileOrder(const uchar *from, uchar *to) const
    {
        const int step = m_picture.bytesPerPixel();
        for (qsizetype i = 0; i < m_rowBytes; i += step) {
            to[i] = from[i + 2];
            to[i + 1] = from[i + 1];
            to[i + 2] = from[i];
            if (step == 4)
                to[i + 3] = from[i + 3];
        }
    }

    const Picture &m_picture;
    const int m_level;
    const qsizetype m_rowBytes;
    const int m_rowsPerBand;
    const qsizetype m_bands;
    const unsigned m_threads;
    const qsizetype m_ahead;
    std::mutex m_lock;
    std::condition_variable m_changed;
    qsizetype m_next = 0;
    qsizetype m_written = 0;
    std::vector<std::optional<Band>> m_done;
    std::exception_ptr m_failure;
};

} // namespace

void encodePng(const Picture &picture, const ByteSink &sink, PngLevel level)
{
    if (picture.isNull())
        raise(err::InvalidPropertyValue);
    try {
        ParallelPng(picture, level).write(sink);
    } catch (const std::bad_alloc &) {
        raise(err::OutOfMemory);
    }
}

} // namespace quorbel
