#include "core/maxrects.h"

#include "core/everycore.h"

#include <QtMath>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <numeric>
#include <new>

namespace quorbel {

MaxRectsBin::MaxRectsBin(QSize size)
{
    if (!size.isEmpty())
        m_free.push_back({0, 0, size.width(), size.height()});
}

std::optional<QPoint> MaxRectsBin::insert(QSize size, FitRule rule)
{
    const int w = size.width(), h = size.height();
    constexpr qint64 None = std::numeric_limits<qint64>::max();
    qint64 bestFirst = None, bestSecond = None;
    const Area *best = nullptr;
    for (const Area &free : m_free) {
        if (free.w < w || free.h < h)
            continue;
        const int overW = free.w - w, overH = free.h - h;
        qint64 first = 0, second = 0;
        switch (rule) {
        case FitRule::BestShortSide:
            first = std::min(overW, overH);
            second = std::max(overW, overH);
            break;
        case FitRule::BestLongSide:
            first = std::max(overW, overH);
            second = std::min(overW, overH);
            break;
        case FitRule::BestArea:
            first = qint64(free.w) * free.h - qint64(w) * h;
            second = std::min(overW, overH);
            break;
        case FitRule::BottomLeft:
            first = free.y + h;
            second = free.x;
            break;
        }
        if (first < bestFirst || (first == bestFirst && second < bestSecond)) {
            bestFirst = first;
            bestSecond = second;
            best = &free;
        }
    }
    if (!best)
        return std::nullopt;
    const Area placed{best->x, best->y, w, h};
    split(placed);
    m_extent = m_extent.expandedTo(QSize(placed.x + w, placed.y + h));
    return QPoint(placed.x, placed.y);
}

void MaxRectsBin::split(const Area &placed)
{
    m_parts.clear();
    const int right = placed.x + placed.w, bottom = placed.y + placed.h;
    for (size_t i = 0; i < m_free.size();) {
        const Area f = m_free[i];
        if (placed.x >= f.x + f.w || right <= f.x || placed.y >= f.y + f.h || bottom <= f.y) {
            ++i;
            continue;
        }
        // The parts of the free rectangle left, right, above and below the placed one, each as
        // large as the free rectangle allows.
        if (placed.x > f.x)
            m_parts.push_back({f.x, f.y, placed.x - f.x, f.h});
        if (right < f.x + f.w)
            m_parts.push_back({right, f.y, f.x + f.w - right, f.h});
        if (placed.y > f.y)
            m_parts.push_back({f.x, f.y, f.w, placed.y - f.y});
        if (bottom < f.y + f.h)
            m_parts.push_back({f.x, bottom, f.w, f.y + f.h - bottom});
        m_free[i] = m_free.back();
        m_free.pop_back();
    }
    // No free rectangle that was not split lies inside another, nor inside a part of one, which
    // is smaller than it was: only the new parts need pruning.
    for (size_t i = 0; i < m_parts.size(); ++i) {
        bool contained = false;
        for (size_t j = 0; j < m_parts.size() && !contained; ++j)
            contained = j != i && m_parts[j].contains(m_parts[i])
                && (!m_parts[i].contains(m_parts[j]) || j < i);
        for (size_t j = 0; j < m_free.size() && !contained; ++j)
            contained = m_free[j].contains(m_parts[i]);
        if (!contained)
            m_free.push_back(m_parts[i]);
    }
}

namespace {

// The orders of insertion, each putting the larger first by one measure, ties in the order given:
// by height, area, width and longer side.
std::vector<std::vector<qsizetype>> insertionOrders(const QList<QSize> &sizes)
{
    using Key = std::pair<qint64, qint64>;
    const std::vector<Key (*)(QSize)> measures = {
        [](QSize s) {
            return Key{s.height(), s.width()};
        },
        [](QSize s) {
            return Key{qint64(s.width()) * s.height(), std::max(s.width(), s.height())};
        },
        [](QSize s) {
            return Key{s.width(), s.height()};
        },
        [](QSize s) {
            return Key{std::max(s.width(), s.height()), std::min(s.width(), s.height())};
        },
    };
    std::vector<std::vector<qsizetype>> orders;
    for (const auto measure : measures) {
        std::vector<qsizetype> order(size_t(sizes.size()));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            return measure(sizes.at(a)) > measure(sizes.at(b));
        });
        orders.push_back(std::move(order));
    }
    return orders;
}

// A try: an order of insertion and a rule.
struct Try
{
    size_t order;
    FitRule rule;
};

// Bottom-left first, in every order: it keeps the sheet low by itself, where the other rules need
// a bin as low as the sheet, and it wins most often. The other rules, which win now and then by a
// percent or two, are tried in every order for a hundred rectangles, in the first two orders for
// a few hundred, where a packing takes well under a millisecond, and not beyond; for thousands of
// rectangles bottom-left goes in the first order alone, as a packing's time grows faster than
// the rectangles.
std::vector<Try> triesFor(qsizetype rectangles)
{
    const size_t bottomLeft = rectangles > 2000 ? 1 : 4;
    const size_t others = rectangles > 500 ? 0 : rectangles > 100 ? 2 : 4;
    std::vector<Try> tries;
    for (size_t order = 0; order < bottomLeft; ++order)
        tries.push_back({order, FitRule::BottomLeft});
    for (const FitRule rule : {FitRule::BestShortSide, FitRule::BestLongSide, FitRule::BestArea}) {
        for (size_t order = 0; order < others; ++order)
            tries.push_back({order, rule});
    }
    return tries;
}

int powerOfTwoAtLeast(int n)
{
    return int(qNextPowerOfTwo(quint32(std::max(n, 1) - 1)));
}

int powerOfTwoAtMost(int n)
{
    return n < 1 ? 0 : int(qNextPowerOfTwo(quint32(n)) >> 1);
}

// Packs the rectangles by a try into a bin the size of the sheet less the margin.
class Packer
{
public:
    Packer(const QList<QSize> &sizes, const PackingRules &rules)
        : m_sizes(sizes)
        , m_rules(rules)
        , m_orders(insertionOrders(sizes))
        , m_tries(triesFor(sizes.size()))
    {
    }

    const std::vector<Try> &tries() const { return m_tries; }

    std::optional<Packing> pack(const Try &by, QSize sheet) const
    {
        const int margin = m_rules.margin;
        MaxRectsBin bin(sheet - QSize(margin, margin));
        Packing packed;
        packed.corners.resize(m_sizes.size());
        for (const qsizetype k : m_orders[by.order]) {
            const auto corner = bin.insert(m_sizes.at(k), by.rule);
            if (!corner)
                return std::nullopt;
            packed.corners[k] = *corner + QPoint(margin, margin);
        }
        packed.sheet = roundedSheet(bin.extent() + QSize(margin, margin));
        return packed;
    }

    QSize roundedSheet(QSize sheet) const
    {
        if (!m_rules.powerOfTwo)
            return sheet;
        return {powerOfTwoAtLeast(sheet.width()), powerOfTwoAtLeast(sheet.height())};
    }

private:
    const QList<QSize> &m_sizes;
    const PackingRules &m_rules;
    std::vector<std::vector<qsizetype>> m_orders;
    std::vector<Try> m_tries;
};

qint64 area(QSize size)
{
    return qint64(size.width()) * size.height();
}

// Whether a sheet is smaller than another: of less area, or as large and squarer.
bool smaller(QSize a, QSize b)
{
    return std::pair(area(a), std::max(a.width(), a.height()))
        < std::pair(area(b), std::max(b.width(), b.height()));
}

// The sheet widths tried: from the narrowest that could hold the rectangles, around the side of a
// square of their area, to the limit; with powers of two, each power of two between.
QList<int> widthsToTry(const QList<QSize> &sizes, const PackingRules &rules)
{
    const QSize limit = rules.reach();
    qint64 total = 0;
    int widest = 0;
    for (const QSize size : sizes) {
        total += area(size);
        widest = std::max(widest, size.width());
    }
    const int margin = rules.margin;
    const int low = int(std::clamp<qint64>(
        std::max<qint64>(widest, (total + limit.height() - margin - 1) / (limit.height() - margin))
            + margin,
        1, limit.width()));
    QList<int> widths;
    if (rules.powerOfTwo) {
        for (int w = powerOfTwoAtLeast(low); w <= limit.width(); w *= 2)
            widths.append(w);
        return widths;
    }
    const double square = std::sqrt(double(total)) + margin;
    widths.append(low);
    for (const double by : {1.0, 1.15, 1.3, 1.5, 2.0})
        widths.append(int(std::clamp<double>(std::ceil(square * by), low, limit.width())));
    widths.append(limit.width());
    std::sort(widths.begin(), widths.end());
    widths.erase(std::unique(widths.begin(), widths.end()), widths.end());
    return widths;
}

// The smallest sheet of this width that a try packs the rectangles into, none lower than
// `lowest`, below which their area cannot fit. Bottom-left packs into the limit's full height;
// every other rule only matters where it packs lower than the best so far, so it first packs into
// a bin just lower than that, and when that holds, into lower ones, halving the heights between a
// few times over (packing is not monotonic in the height, so this finds a low one, not always
// the lowest).
std::optional<Packing> smallestAtWidth(const Packer &packer, int width, int lowest,
                                       const PackingRules &rules)
{
    const int highest = rules.reach().height();
    std::optional<Packing> best;
    const auto keep = [&](std::optional<Packing> &packed) {
        if (packed && (!best || smaller(packed->sheet, best->sheet)))
            best = std::move(packed);
    };
    for (const Try &by : packer.tries()) {
        if (by.rule == FitRule::BottomLeft) {
            auto packed = packer.pack(by, {width, highest});
            keep(packed);
            continue;
        }
        int high = best ? best->sheet.height() - 1 : highest;
        if (rules.powerOfTwo)
            high = powerOfTwoAtMost(high);
        if (high < lowest)
            continue;
        auto packed = packer.pack(by, {width, high});
        if (!packed)
            continue;
        int low = lowest;
        high = packed->sheet.height() - 1;
        for (int step = 0; step < 3 && low <= high; ++step) {
            const int middle = rules.powerOfTwo ? powerOfTwoAtMost(high) : low + (high - low) / 2;
            if (middle < lowest)
                break;
            if (auto lower = packer.pack(by, {width, middle})) {
                high = lower->sheet.height() - 1;
                packed = std::move(lower);
            } else if (rules.powerOfTwo) {
                break;
            } else {
                low = middle + 1;
            }
        }
        keep(packed);
    }
    return best;
}

} // namespace

QSize PackingRules::reach() const
{
    if (!powerOfTwo)
        return limit;
    return {powerOfTwoAtMost(limit.width()), powerOfTwoAtMost(limit.height())};
}

std::optional<Packing> packSmallest(const QList<QSize> &sizes, const PackingRules &rules)
{
    const Packer packer(sizes, rules);
    const QList<int> widths = widthsToTry(sizes, rules);
    qint64 total = 0;
    int tallest = 0;
    for (const QSize size : sizes) {
        total += area(size);
        tallest = std::max(tallest, size.height());
    }
    // Each width is a job; each thread keeps the best of its own, and the best of those wins,
    // ties to the narrower width, so the winner is the same however the jobs fell to the threads.
    const qsizetype jobs = widths.size();
    std::atomic<qsizetype> next = 0;
    std::mutex lock;
    std::optional<std::pair<qsizetype, Packing>> best;
    std::atomic<bool> shortOfMemory = false;
    onEveryCore(jobs, [&] {
        std::optional<std::pair<qsizetype, Packing>> mine;
        try {
            for (qsizetype job = next++; job < jobs; job = next++) {
                const int width = widths.at(job);
                const int inside = std::max(1, width - rules.margin);
                const int lowest = int(std::max<qint64>(tallest, (total + inside - 1) / inside));
                auto packed = smallestAtWidth(packer, width, lowest + rules.margin, rules);
                if (packed && (!mine || smaller(packed->sheet, mine->second.sheet)))
                    mine.emplace(job, std::move(*packed));
            }
        } catch (const std::bad_alloc &) {
            shortOfMemory = true;
            next = jobs;
        }
        const std::lock_guard locked(lock);
        if (mine
            && (!best || smaller(mine->second.sheet, best->second.sheet)
                || (!smaller(best->second.sheet, mine->second.sheet) && mine->first < best->first)))
            best = std::move(mine);
    });
    if (shortOfMemory)
        throw std::bad_alloc();
    if (!best)
        return std::nullopt;
    return std::move(best->second);
}

bool fitsOneSheet(const QList<QSize> &sizes, const PackingRules &rules)
{
    const Packer packer(sizes, rules);
    return std::any_of(packer.tries().begin(), packer.tries().end(),
                       [&](const Try &by) { return packer.pack(by, rules.reach()).has_value(); });
}

} // namespace quorbel
