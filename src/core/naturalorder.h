#pragma once

#include <QString>

namespace quorbel {

// Names compared the way people count: runs of digits as numbers, so frame2 comes before frame10,
// and the rest as text without regard to case. Equal numbers with more leading zeros come later,
// so no two different names compare equal.
bool naturalLess(const QString &a, const QString &b);

} // namespace quorbel
