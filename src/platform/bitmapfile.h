#pragma once

class QImage;
class QString;

namespace platform {

// Loads a bitmap file: 76 when its folder is missing, 53 when the file is, 70 or 75 when it
// cannot be read, 481 when its content is not a bitmap Quorbel reads. Only a regular file is
// opened for reading at all: a folder is 70, a named pipe or a device 75.
QImage loadBitmapFile(const QString &path);
// The same into an image of the caller's, reusing its buffer where it can (see decodeBmp).
void loadBitmapFile(const QString &path, QImage &image);

// Saves the image as a 24-bit bitmap under exactly this name, replacing the file whole or not at
// all: 380 for an image with no pixels (nothing is created), 76 when the folder is missing, 70
// when the name is a folder or a file that refuses the write, 61 or 75 when writing fails.
void saveBitmapFile(const QImage &image, const QString &path);

} // namespace platform
