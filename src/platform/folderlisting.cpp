#include "platform/folderlisting.h"

#include "platform/runtimeerror.h"

#include <QDir>

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

} // namespace

QStringList matchingFiles(const QString &folder, const QString &pattern, Order order)
{
    // Name filters compare without regard to case unless told otherwise, and leaving out
    // QDir::Hidden and QDir::System drops dot-files and hidden or system files.
    const QDir::SortFlags sort =
        order == Order::Sorted ? QDir::Name | QDir::IgnoreCase : QDir::Unsorted;
    return QDir(folder).entryList({pattern}, QDir::Files, sort);
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
