#pragma once

#include <QStringList>

namespace quorbel {

// How frame names are ordered on the sheet.
enum class SortDirection { Ascending, Descending };

// -1, 0 or +1. Without regard to case, letters compare alphabetically, digits one by one as
// characters and before letters, the full stop before both, the empty string first: the same
// under every locale, the C locale included, which a locale's collation would not give.
int compareText(const QString &a, const QString &b, Qt::CaseSensitivity sensitivity);

// The selection sort that has always ordered the frames: a later entry replaces the candidate
// only when it sorts strictly before it (after it, descending), and the exchange can carry an
// entry past its equals. Names that compare equal (differing only in case) therefore keep the
// order in which sheets made so far placed them.
void selectionSort(QStringList &names, SortDirection direction, Qt::CaseSensitivity sensitivity);

// The same result as selectionSort, in n log n time when no two names compare equal (the
// usual folder of frames), since the order of distinct names is then fixed.
void sortNames(QStringList &names, SortDirection direction, Qt::CaseSensitivity sensitivity);

} // namespace quorbel
