#pragma once

#include <QByteArrayView>
#include <QList>

#include <functional>

class QString;

namespace quorbel {

// Takes a file's bytes in pieces, in order.
using ByteSink = std::function<void(const QList<QByteArrayView> &pieces)>;

// Writes a file of size bytes (0: not known ahead) under exactly this name, replacing any file
// there whole or not at all: the bytes go to a new file beside it, which takes the old one's name
// only once every byte is written. When anything fails the new file is removed and the old one
// stays as it was. Raises 76 when the folder is missing, 70 when the name is a folder or a file
// that refuses the write, 61 when the disk has no room, 75 when writing fails otherwise, and
// whatever write raises.
void replaceFile(const QString &path, qint64 size,
                 const std::function<void(const ByteSink &)> &write);

} // namespace quorbel
