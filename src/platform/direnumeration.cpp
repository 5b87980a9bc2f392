#include "platform/direnumeration.h"

#include "core/folderlisting.h"
#include "core/runtimeerror.h"

#include <QDir>
#include <QStringList>

namespace platform {

namespace {

// One listing position for the whole program, as the enumeration has always kept.
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

QString Dir(const QString &pathPattern)
{
    // The folder part may end in a doubled separator where a root was joined with "/*.bmp".
    const qsizetype cut = pathPattern.lastIndexOf(u'/');
    const QString folder =
        cut < 0 ? QStringLiteral(".") : QDir::cleanPath(pathPattern.left(cut + 1));
    const QString pattern = pathPattern.mid(cut + 1);
    listing() = {quorbel::matchingFiles(folder, {pattern}, quorbel::Order::FileSystem), 0, false};
    return Dir();
}

QString Dir()
{
    Listing &state = listing();
    if (state.finished)
        quorbel::raise(quorbel::err::InvalidProcedureCall);
    if (state.next < state.names.size())
        return state.names.at(state.next++);
    state.finished = true;
    return {};
}

} // namespace platform
