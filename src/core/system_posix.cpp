#include "core/system.h"

#include "core/fileerrors.h"
#include "core/runtimeerror.h"

#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace quorbel::sys {

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// Whether an entry names a regular file or a folder (DT_REG, DT_DIR), following symbolic links;
// the type readdir() reports answers without a stat unless the entry is a link or the file system
// does not say.
bool isOfType(int folder, const dirent &entry, unsigned char wanted)
{
    unsigned char type = entry.d_type;
    if (type == DT_LNK || type == DT_UNKNOWN) {
        struct stat info = {};
        if (::fstatat(folder, entry.d_name, &info, 0) != 0)
            return false;
        type = S_ISREG(info.st_mode) ? DT_REG : S_ISDIR(info.st_mode) ? DT_DIR : DT_UNKNOWN;
    }
    return type == wanted;
}

[[noreturn]] void writeFailed()
{
    raise(errno == ENOSPC || errno == EDQUOT ? err::DiskFull : err::PathFileAccessError);
}

} // namespace

qint64 readRegularFile(const QString &path, QByteArray &buffer, qint64 maxBytes)
{
    // O_NONBLOCK: opening a named pipe for reading would otherwise wait for a writer for ever.
    const int handle = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        raise(openForReadingError(path));
    const auto closer = qScopeGuard([handle] { ::close(handle); });
    struct stat info = {};
    if (::fstat(handle, &info) != 0)
        raise(err::PathFileAccessError);
    if (S_ISDIR(info.st_mode))
        raise(err::PermissionDenied);
    if (!S_ISREG(info.st_mode))
        raise(err::PathFileAccessError);
    if (info.st_size > maxBytes)
        return -1;
    if (buffer.size() < info.st_size)
        buffer.resize(info.st_size);
    // A file cut short by another program since it was measured simply yields fewer bytes.
    qint64 done = 0;
    while (done < info.st_size) {
        const ssize_t got = ::read(handle, buffer.data() + done, size_t(info.st_size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            raise(err::PathFileAccessError);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

// Read with readdir() rather than QDir: QDir builds a file information record for every entry,
// which on a folder of 4096 frames took longer than reading all of the frames' headers, and the
// file type readdir() reports saves a stat per entry.
void listFolder(const QString &folder, EntryKind kind,
                const std::function<void(const QString &name)> &found)
{
    DIR *dir = ::opendir(encoded(folder).constData());
    if (!dir)
        return;
    const auto closer = qScopeGuard([dir] { ::closedir(dir); });
    const unsigned char wanted = kind == EntryKind::File ? DT_REG : DT_DIR;
    while (const dirent *entry = ::readdir(dir)) {
        // Qt decodes file names as UTF-8 on every Unix, as QFile::decodeName() would.
        if (entry->d_name[0] != '.' && isOfType(::dirfd(dir), *entry, wanted))
            found(QString::fromUtf8(entry->d_name));
    }
}

FileBeside::FileBeside(const QString &target)
{
    // O_EXCL makes sure the name is new. Mode 0666 lets the user's umask decide, as for any file
    // a program creates.
    for (int attempt = 0; attempt < 100 && m_handle < 0; ++attempt) {
        m_name = target + u'.' + QString::number(QRandomGenerator::global()->generate(), 16);
        m_handle =
            ::open(encoded(m_name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_handle < 0 && errno != EEXIST)
            break;
    }
    if (m_handle < 0)
        raise(openForWritingError(target));
}

FileBeside::~FileBeside()
{
    if (m_handle >= 0)
        ::close(m_handle);
    if (!m_placed)
        ::unlink(encoded(m_name).constData());
}

void FileBeside::keepPermissionsOf(const QString &target)
{
    struct stat old = {};
    if (::stat(encoded(target).constData(), &old) == 0)
        ::fchmod(m_handle, old.st_mode & 07777);
}

// A file system that cannot claim room ahead simply finds out while the bytes are written.
void FileBeside::reserve(qint64 size)
{
    if (size > 0 && ::fallocate(m_handle, 0, 0, off_t(size)) != 0 && errno != EOPNOTSUPP
        && errno != ENOSYS)
        writeFailed();
}

void FileBeside::write(const QList<QByteArrayView> &pieces)
{
    std::vector<iovec> left;
    left.reserve(size_t(pieces.size()));
    for (QByteArrayView piece : pieces) {
        if (!piece.isEmpty())
            left.push_back({const_cast<char *>(piece.data()), size_t(piece.size())});
    }
    for (iovec *next = left.data(), *end = next + left.size(); next != end;) {
        const ssize_t written =
            ::writev(m_handle, next, int(std::min<ptrdiff_t>(end - next, IOV_MAX)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            writeFailed();
        // Skip what went out: whole pieces, then the written part of a piece cut short.
        for (size_t done = size_t(written); done > 0;) {
            const size_t step = std::min(done, next->iov_len);
            next->iov_base = static_cast<char *>(next->iov_base) + step;
            next->iov_len -= step;
            done -= step;
            if (next->iov_len == 0)
                ++next;
        }
    }
}

void FileBeside::close()
{
    if (m_handle >= 0 && ::close(std::exchange(m_handle, -1)) != 0)
        writeFailed();
}

void FileBeside::replace(const QString &target)
{
    close();
    if (std::rename(encoded(m_name).constData(), encoded(target).constData()) != 0)
        raise(openForWritingError(target));
    m_placed = true;
}

} // namespace quorbel::sys
