#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QString;

namespace quorbel {

class Picture;

// Reads bitmap files one after another into pictures, through a buffer of its own, so that
// reading frame after frame allocates nothing once the buffer has grown to the frame size. A
// reader serves one thread at a time; several readers may read at once.
class BitmapReader
{
public:
    // 76 when the folder is missing, 53 when the file is, 70 or 75 when it cannot be read, 481
    // when its content is not a bitmap Quorbel reads. Only a regular file is opened for reading at
    // all: a folder is 70, a named pipe or a device 75. The picture is reused as decodeBmp does.
    void read(const QString &path, Picture &picture);
    // The file's bytes, valid until the next read; raises what read does for the file itself.
    QByteArrayView load(const QString &path);

private:
    QByteArray m_buffer;
};

Picture loadBitmapFile(const QString &path);

// Saves the picture as a 24-bit bitmap under exactly this name, replacing the file whole or not
// at all: 380 for a picture with no pixels (nothing is created), 76 when the folder is missing,
// 70 when the name is a folder or a file that refuses the write, 61 or 75 when writing fails.
void saveBitmapFile(const Picture &picture, const QString &path);

} // namespace quorbel
