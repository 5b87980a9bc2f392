#include "core/textorder.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <vector>

namespace quorbel {

int compareText(const QString &a, const QString &b, Qt::CaseSensitivity sensitivity)
{
    const int result = QString::compare(a, b, sensitivity);
    return (result > 0) - (result < 0);
}

namespace {

// The first position holding the smallest value, kept as values change: a segment tree over the
// positions, each node holding the smallest value beneath it.
class FirstSmallest
{
public:
    static constexpr int Taken = std::numeric_limits<int>::max();

    explicit FirstSmallest(const std::vector<int> &values)
        : m_leaves(std::bit_ceil(std::max<size_t>(values.size(), 1))), m_tree(2 * m_leaves, Taken)
    {
        std::copy(values.begin(), values.end(), m_tree.begin() + qsizetype(m_leaves));
        for (size_t node = m_leaves - 1; node > 0; --node)
            m_tree[node] = std::min(m_tree[2 * node], m_tree[2 * node + 1]);
    }

    size_t find() const
    {
        size_t node = 1;
        while (node < m_leaves)
            node = m_tree[2 * node] <= m_tree[2 * node + 1] ? 2 * node : 2 * node + 1;
        return node - m_leaves;
    }
    int at(size_t position) const { return m_tree[m_leaves + position]; }
    void set(size_t position, int value)
    {
        size_t node = m_leaves + position;
        m_tree[node] = value;
        for (node /= 2; node > 0; node /= 2)
            m_tree[node] = std::min(m_tree[2 * node], m_tree[2 * node + 1]);
    }

private:
    size_t m_leaves;
    std::vector<int> m_tree;
};

} // namespace

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
    const size_t count = size_t(names.size());
    std::vector<qsizetype> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](qsizetype a, qsizetype b) { return compareKeys(a, b) < 0; });
    // Each name's rank among the distinct ones, from 0 for the names that sort first; descending,
    // the ranks are turned round below, so that either way the entry the selection sort picks is
    // always the first of the smallest rank.
    std::vector<int> ranks(count);
    int rank = 0;
    for (size_t i = 0; i < count; ++i) {
        rank += i > 0 && compareKeys(order[i - 1], order[i]) != 0;
        ranks[size_t(order[i])] = rank;
    }
    std::vector<qsizetype> at = order;
    if (size_t(rank) + 1 == count) {
        // No two names equal: the order is the sorted one.
        if (direction == SortDirection::Descending)
            std::reverse(at.begin(), at.end());
    } else {
        if (direction == SortDirection::Descending) {
            for (int &each : ranks)
                each = rank - each;
        }
        // The selection sort's exchanges replayed: the first smallest entry from position i on
        // changes places with the entry at i, which may carry that one past its equals.
        FirstSmallest remaining(ranks);
        std::iota(at.begin(), at.end(), 0);
        for (size_t i = 0; i < count; ++i) {
            const size_t k = remaining.find();
            std::swap(at[i], at[k]);
            remaining.set(k, remaining.at(i));
            remaining.set(i, FirstSmallest::Taken);
        }
    }
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype index : at)
        sorted.append(names.at(index));
    names = std::move(sorted);
}

} // namespace quorbel
