#pragma once

class QString;

namespace quorbel {

class Picture;

// Loads a bitmap file, with the errors FrameReader::read raises.
Picture loadBitmapFile(const QString &path);

// Saves the picture as a 24-bit bitmap under exactly this name, replacing the file whole or not
// at all: 380 for a picture with no pixels (nothing is created), 76 when the folder is missing,
// 70 when the name is a folder or a file that refuses the write, 61 or 75 when writing fails.
void saveBitmapFile(const Picture &picture, const QString &path);

} // namespace quorbel
