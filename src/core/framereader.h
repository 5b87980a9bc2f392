#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>

class QString;

namespace quorbel {

class Picture;

// Reads frame files one after another through a buffer of its own, so that reading frame after
// frame allocates nothing once the buffer has grown to the frame size: a Windows bitmap, or by its
// name (.png) a PNG. A reader serves one thread at a time; several readers may read at once.
class FrameReader
{
public:
    // 76 when the folder is missing, 53 when the file is, 70 or 75 when it cannot be read, 481
    // when its content is not a frame Quorbel reads. Only a regular file is read: anything else is
    // opened without waiting and refused, a folder with 70, a named pipe or a device with 75. The
    // picture is reused as decodeBmp does.
    void read(const QString &path, Picture &picture);
    // The file's bytes, valid until the next read; raises what read does for the file itself.
    QByteArrayView load(const QString &path);

private:
    QByteArray m_buffer;
};

bool isPngName(const QString &path);
// The size of the frame a loaded file holds, and its pixels, the kind chosen by its name.
QSize frameSize(const QString &path, QByteArrayView file);
void decodeFrame(const QString &path, QByteArrayView file, Picture &picture);

} // namespace quorbel
