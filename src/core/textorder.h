#pragma once

#include <QStringList>

namespace quorbel {

// How frame names are ordered on the sheet.
enum class SortDirection { Ascending, Descending };

// -1, 0 or +1. Without regard to case, letters compare alphabetically, digits one by one as
// characters and before letters, the full stop before both, the empty string first: the same
// under every locale, the C locale included, which a locale's collation would not give.
int compareText(const QString &a, const QString &b, Qt::CaseSensitivity sensitivity);

// The order a selection sort has always given the frames: from the first place on, each place
// takes the first of the remaining names that sort first (last, descending), and the name that
// was there moves to where that one stood. The exchange can carry a name past its
// equals, so names that compare equal (differing only in case) keep the order in which sheets
// made so far placed them. Computed in n log n time.
void sortNames(QStringList &names, SortDirection direction, Qt::CaseSensitivity sensitivity);

} // namespace quorbel
