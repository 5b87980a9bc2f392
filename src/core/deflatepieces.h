#pragma once

#include <QByteArray>
#include <QByteArrayView>

struct libdeflate_compressor;

namespace quorbel {

// A piece of a zlib stream's data, deflated apart from the others.
struct DeflatedPiece
{
    QByteArray deflated;
    quint32 adler32 = 1;
    qsizetype length = 0;
};

// One zlib stream deflated in pieces, each on a thread of its own, and joined as parallel gzip
// joins them: zlibHeader(), the pieces in order, then zlibTrailer() of their checksums combined. No
// piece refers back into the one before it, and every piece but the last ends on a byte boundary
// with an empty stored block, without the mark of the stream's final block.
class PieceDeflater
{
public:
    // libdeflate's levels, 1 the fastest to 12 the smallest; std::bad_alloc when memory is short.
    explicit PieceDeflater(int level);
    ~PieceDeflater();
    PieceDeflater(const PieceDeflater &) = delete;
    PieceDeflater &operator=(const PieceDeflater &) = delete;

    DeflatedPiece deflate(QByteArrayView data, bool last);

private:
    libdeflate_compressor *m_compressor;
};

QByteArray zlibHeader(int level);
// The checksum of the data so far with a piece's after it; 1 before any data.
quint32 combinedAdler32(quint32 before, quint32 piece, qsizetype pieceLength);
QByteArray zlibTrailer(quint32 adler32);

} // namespace quorbel
