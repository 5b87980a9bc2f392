#pragma once

#include <QList>
#include <QPoint>
#include <QSize>

#include <optional>
#include <vector>

namespace quorbel {

// Where MaxRects puts the next rectangle: in the free rectangle that leaves the shortest side
// over, the shortest long side, the least area (then the shortest side), or that keeps its bottom
// edge highest (then its left edge leftmost).
enum class FitRule { BestShortSide, BestLongSide, BestArea, BottomLeft };

// One bin that takes rectangles one after another, never rotated and never overlapping (MaxRects,
// after Jukka Jylänki): the free space is kept as the list of its largest free rectangles, which
// overlap one another; a rectangle placed splits every free one it touches into the parts around
// it, and a new part that another free rectangle contains is dropped. Ties between free
// rectangles go to the one listed first, so the same rectangles in the same order always land in
// the same places.
class MaxRectsBin
{
public:
    explicit MaxRectsBin(QSize size);

    // The corner the rectangle got, or none when no free rectangle holds it.
    std::optional<QPoint> insert(QSize size, FitRule rule);
    // From the bin's corner to the farthest right and bottom edge of what was placed.
    QSize extent() const { return m_extent; }

private:
    struct Area
    {
        int x, y, w, h;
        bool contains(const Area &o) const
        {
            return o.x >= x && o.y >= y && o.x + o.w <= x + w && o.y + o.h <= y + h;
        }
    };
    void split(const Area &placed);

    std::vector<Area> m_free;
    std::vector<Area> m_parts;
    QSize m_extent{0, 0};
};

// Where packing put the rectangles, a corner for each in the order given, and the sheet they need.
struct Packing
{
    QList<QPoint> corners;
    QSize sheet;
};

// How rectangles are packed into sheets: each sheet keeps `margin` pixels free along its top and
// left edges (the rectangles bring their gap to the right and below along), is at most `limit`,
// and with `powerOfTwo` has sides that are powers of two.
struct PackingRules
{
    QSize limit;
    int margin = 0;
    bool powerOfTwo = false;

    // The largest sheet: the limit, or with powers of two the largest within it.
    QSize reach() const;
};

// The sheet of least area that holds every rectangle, or none when no sheet within the limit
// does: each rule packs the rectangles, in each of several orders of insertion (the larger first,
// ties in the order given), into bins of several widths, and from each width the lowest height
// that still holds them is sought; the smallest sheet wins (of least area, then the squarer),
// ties to the one tried first. The tries run on every core; which wins never depends on how many
// there are.
std::optional<Packing> packSmallest(const QList<QSize> &sizes, const PackingRules &rules);

// Whether one sheet of the limit's full size holds every rectangle by one of the tries.
bool fitsOneSheet(const QList<QSize> &sizes, const PackingRules &rules);

} // namespace quorbel
