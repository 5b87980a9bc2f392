#include "platform/folderlisting.h"

#include "platform/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

namespace platform {

namespace {

struct Listing
{
    QStringList names;
    qsizetype next = 0;
    bool finished = true;
};

Listing &listing()
{
    static Listing state;
    return state;
}

enum class EntryKind { File, Folder, Other };

// What an entry is, following symbolic links; the type readdir() reports answers without a
// stat unless the entry is a link or the file system does not say.
EntryKind kindOf(int folderFd, const dirent &entry)
{
    unsigned char type = entry.d_type;
    if (type == DT_LNK || type == DT_UNKNOWN) {
        struct stat info {};
        if (::fstatat(folderFd, entry.d_name, &info, 0) != 0)
            return EntryKind::Other;
        type = S_ISREG(info.st_mode) ? DT_REG : S_ISDIR(info.st_mode) ? DT_DIR : DT_UNKNOWN;
    }
    return type == DT_REG ? EntryKind::File : type == DT_DIR ? EntryKind::Folder : EntryKind::Other;
}

// The folder is read with readdir() rather than QDir: QDir builds a file information record and
// runs a regular expression for every entry, which on a folder of 4096 frames took longer than
// reading all of the frames' headers; the file type readdir() reports saves a stat per entry.
// The result is the same: hidden (dot) entries left out, links followed, dangling links, pipes
// and devices skipped, patterns matched without regard to case.
QStringList entriesOfKind(const QString &folder, EntryKind kind,
                          const std::function<bool(const QString &)> &wanted)
{
    QStringList names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    const auto closer = qScopeGuard([dir] { ::closedir(dir); });
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.' || kindOf(::dirfd(dir), *entry) != kind)
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (wanted(name))
            names.append(name);
    }
    return names;
}

// In the order QDir gives for QDir::Name | QDir::IgnoreCase.
QStringList sortedByName(QStringList names)
{
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(size_t(names.size()));
    for (QString &name : names)
        keyed.emplace_back(name.toLower(), std::move(name));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
    QStringList sorted;
    sorted.reserve(names.size());
    for (auto &entry : keyed)
        sorted.append(std::move(entry.second));
    return sorted;
}

// A test of a name against a wildcard pattern, "*.bmp" and its kind by a plain comparison.
std::function<bool(const QString &)> patternTest(const QString &pattern)
{
    const QString suffix = pattern.mid(1);
    const bool plainSuffix = pattern.startsWith(u'*') && !suffix.contains(u'*')
        && !suffix.contains(u'?') && !suffix.contains(u'[');
    if (plainSuffix)
        return [suffix](const QString &name) { return name.endsWith(suffix, Qt::CaseInsensitive); };
    const QRegularExpression expression =
        QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive);
    return [expression](const QString &name) { return expression.match(name).hasMatch(); };
}

} // namespace

QStringList matchingFiles(const QString &folder, const QString &pattern, Order order)
{
    QStringList names = entriesOfKind(folder, EntryKind::File, patternTest(pattern));
    return order == Order::Sorted ? sortedByName(std::move(names)) : names;
}

QStringList subfolders(const QString &folder)
{
    return sortedByName(
        entriesOfKind(folder, EntryKind::Folder, [](const QString &) { return true; }));
}

QString Dir(const QString &pathPattern)
{
    // The folder part may end in a doubled separator where a root was joined with "/*.bmp".
    const qsizetype cut = pathPattern.lastIndexOf(u'/');
    const QString folder =
        cut < 0 ? QStringLiteral(".") : QDir::cleanPath(pathPattern.left(cut + 1));
    const QString pattern = pathPattern.mid(cut + 1);
    listing() = {matchingFiles(folder, pattern, Order::FileSystem), 0, false};
    return Dir();
}

QString Dir()
{
    Listing &state = listing();
    if (state.finished)
        raise(err::InvalidProcedureCall);
    if (state.next < state.names.size())
        return state.names.at(state.next++);
    state.finished = true;
    return {};
}

} // namespace platform
