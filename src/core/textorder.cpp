#include "core/textorder.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace quorbel {

int compareText(const QString &a, const QString &b, Qt::CaseSensitivity sensitivity)
{
    const int result = QString::compare(a, b, sensitivity);
    return (result > 0) - (result < 0);
}

void selectionSort(QStringList &names, SortDirection direction, Qt::CaseSensitivity sensitivity)
{
    const int wanted = direction == SortDirection::Ascending ? -1 : 1;
    const qsizetype hi = names.size() - 1;
    for (qsizetype i = 0; i < hi; ++i) {
        QString candidate = names.at(i);
        qsizetype k = i;
        for (qsizetype j = i + 1; j <= hi; ++j) {
            if (compareText(names.at(j), candidate, sensitivity) == wanted) {
                candidate = names.at(j);
                k = j;
            }
        }
        names[k] = names.at(i);
        names[i] = candidate;
    }
}

void sortNames(QStringList &names, SortDirection direction, Qt::CaseSensitivity sensitivity)
{
    std::vector<qsizetype> order(size_t(names.size()));
    std::iota(order.begin(), order.end(), 0);
    const auto before = [&](qsizetype a, qsizetype b) {
        return compareText(names.at(a), names.at(b), sensitivity) < 0;
    };
    std::sort(order.begin(), order.end(), before);
    const bool tie =
        std::adjacent_find(order.begin(), order.end(),
                           [&](qsizetype a, qsizetype b) {
                               return compareText(names.at(a), names.at(b), sensitivity) == 0;
                           })
        != order.end();
    if (tie) {
        selectionSort(names, direction, sensitivity);
        return;
    }
    if (direction == SortDirection::Descending)
        std::reverse(order.begin(), order.end());
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype index : order)
        sorted.append(names.at(index));
    names = std::move(sorted);
}

} // namespace quorbel
