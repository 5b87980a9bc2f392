#pragma once

#include "core/runtimeerror.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

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

// A file of a set that could not be written or put in place: its name as given, and the error.
struct FileFailure
{
    QString path;
    RuntimeError error;
};

// Several files replaced together, such as a sheet's pages and their JSON: each is written whole
// to a new file beside its target when added, and only commit() moves them all into place, one
// rename after another, once every one of them is whole. Both throw FileFailure, with what
// replaceFile raises, for the file that failed. So a failure while any is written leaves every old
// file as it was and no new file behind. A rename that fails, which after the new files are
// written takes something like the folder's permissions changing meanwhile, stops the commit
// there: the files renamed before it are new, the rest old.
class FileSet
{
public:
    FileSet();
    ~FileSet();
    FileSet(const FileSet &) = delete;
    FileSet &operator=(const FileSet &) = delete;

    void add(const QString &path, qint64 size, const std::function<void(const ByteSink &)> &write);
    void commit();

private:
    struct Pending;
    std::vector<std::unique_ptr<Pending>> m_pending;
};

} // namespace quorbel
