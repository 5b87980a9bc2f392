#pragma once

class QFileDevice;
class QString;

// Which numbered error a failed file operation is, worked out from what is on disk, since Qt's
// own error codes do not tell a missing folder from a missing file or a refusal.
namespace quorbel {

int openForReadingError(const QString &path);
int openForWritingError(const QString &path);
int writeError(const QFileDevice &device);

} // namespace quorbel
