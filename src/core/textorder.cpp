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
    // Comparing without regard to case folds every character of both names at every step: most
    // of the sorting time in a folder of thousands of frames. Folded once, the names compare the
    // same way code unit by code unit wherever they are valid UTF-16, as decoded file names are.
    const bool foldOnce = sensitivity == Qt::CaseInsensitive
        && std::all_of(names.cbegin(), names.cend(),
                       [](const QString &name) { return QStringView(name).isValidUtf16(); });
    QStringList folded;
    if (foldOnce) {
        folded.reserve(names.size());
        for (const QString &name : std::as_const(names))
            folded.append(name.toCaseFolded());
    }
    const QStringList &keys = foldOnce ? folded : names;
    const Qt::CaseSensitivity keySensitivity = foldOnce ? Qt::CaseSensitive : sensitivity;
    const auto compareKeys = [&](qsizetype a, qsizetype b) {
        return compareText(keys.at(a), keys.at(b), keySensitivity);
    };
    std::vector<qsizetype> order(size_t(names.size()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](qsizetype a, qsizetype b) { return compareKeys(a, b) < 0; });
    const bool tie =
        std::adjacent_find(order.begin(), order.end(),
                           [&](qsizetype a, qsizetype b) { return compareKeys(a, b) == 0; })
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
