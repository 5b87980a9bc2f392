#include "core/replacefile.h"

#include "core/runtimeerror.h"
#include "core/system.h"

#include <QFileInfo>

namespace quorbel {

// QSaveFile does the same, but also waits for every byte to reach the disk before the rename.
// Measured on a 48 MiB sheet on ext4 that wait, or the rename's own wait when the room is not
// claimed ahead, took longer than the rest of the job together: reading every frame, composing
// and writing the sheet. So the old sheet stays whole after any failure the program sees, a full
// disk or a refused write; only a power cut in the seconds before the system has written the new
// sheet out can leave that name without either, as with every program that does not wait. The
// settings file, a line long, still goes through QSaveFile.

struct FileSet::Pending
{
    Pending(const QString &path, const QString &target) : path(path), target(target), file(target)
    {
    }

    QString path;
    QString target;
    sys::FileBeside file;
};

FileSet::FileSet() = default;
FileSet::~FileSet() = default;

void FileSet::add(const QString &path, qint64 size,
                  const std::function<void(const ByteSink &)> &write)
{
    try {
        const QFileInfo info(path);
        // Like a text editor, a save through a symbolic link replaces the file it points to.
        const QString target = info.isSymLink() ? info.symLinkTarget() : path;
        const QFileInfo existing(target);
        if (existing.isDir() || (existing.exists() && !existing.isWritable()))
            raise(err::PermissionDenied);

        auto pending = std::make_unique<Pending>(path, target);
        sys::FileBeside &file = pending->file;
        file.keepPermissionsOf(target);
        file.reserve(size);
        write([&file](const QList<QByteArrayView> &pieces) { file.write(pieces); });
        file.close();
        m_pending.push_back(std::move(pending));
    } catch (const RuntimeError &error) {
        throw FileFailure{path, error};
    }
}

void FileSet::commit()
{
    for (const auto &pending : m_pending) {
        try {
            pending->file.replace(pending->target);
        } catch (const RuntimeError &error) {
            throw FileFailure{pending->path, error};
        }
    }
}

void replaceFile(const QString &path, qint64 size,
                 const std::function<void(const ByteSink &)> &write)
{
    try {
        FileSet file;
        file.add(path, size, write);
        file.commit();
    } catch (const FileFailure &failure) {
        throw failure.error;
    }
}

} // namespace quorbel
