// The ordered list of frame names that Draw paints.

#include "navigator/frmdynamic.h"

#include "platform/direnumeration.h"
#include "core/textorder.h"

using namespace platform;
using namespace quorbel;

namespace {

void store(QStringList &names, Int16 index, const QString &name)
{
    if (index < 0 || index >= names.size())
        raise(err::SubscriptOutOfRange);
    names[index] = name;
}

} // namespace

Int16 frmDynamic::GetFiles(Int16 &Numoffiles)
{
    // At a root the folder already ends in a separator; the listing takes the doubled one as one.
    store(FileNames, 0, Dir(Dir1->path() + QStringLiteral("/*.bmp")));
    Int16 i = 0;
    while (i < checkedAdd<Int16>(Numoffiles, -1)) {
        i = checkedAdd<Int16>(i, 1);
        store(FileNames, i, Dir());
    }
    SortArray(FileNames, true, false);
    return i;
}

void frmDynamic::SortArray(QStringList &ListArray, bool bAscending, bool bCaseSensitive)
{
    if (ListArray.isEmpty())
        raise(err::SubscriptOutOfRange); // an array that was never sized has no bounds
    sortNames(ListArray, bAscending ? SortDirection::Ascending : SortDirection::Descending,
              bCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

void frmDynamic::InvertOrder()
{
    SortArray(FileNames, false, false);
}
