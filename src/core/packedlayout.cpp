#include "core/packedlayout.h"

#include "core/maxrects.h"

#include <QHash>

namespace quorbel {

namespace {

// The frames from `first` to before `end` as packing sees them: the first of every kind of pixels
// among them, and the footprint of each with the gap that follows it.
struct PageFrames
{
    QList<qsizetype> owners;
    QList<QSize> footprints;
    QHash<qsizetype, qsizetype> ownerOf; // by the first frame alike anywhere

    PageFrames(const QList<FrameMeasure> &frames, qsizetype first, qsizetype end,
               const PackedSheet &sheet)
    {
        const int grown = 2 * sheet.extrusion + sheet.padding;
        for (qsizetype k = first; k < end; ++k) {
            const qsizetype kind = frames.at(k).alike < 0 ? k : frames.at(k).alike;
            if (ownerOf.contains(kind))
                continue;
            ownerOf.insert(kind, k);
            owners.append(k);
            footprints.append(frames.at(k).kept().size() + QSize(grown, grown));
        }
    }
};

} // namespace

QSize PackedSheet::reach() const
{
    return PackingRules{limit, padding, powerOfTwo}.reach();
}

SheetLayout PackedSheet::layOut(const QList<FrameMeasure> &frames) const
{
    const PackingRules rules{limit, padding, powerOfTwo};
    const auto fits = [&](qsizetype first, qsizetype end) {
        return fitsOneSheet(PageFrames(frames, first, end, *this).footprints, rules);
    };
    SheetLayout layout;
    for (qsizetype first = 0; first < frames.size();) {
        // The most frames that fit the page: all that are left, or as many as halving finds.
        qsizetype end = frames.size();
        if (!fits(first, end)) {
            qsizetype fitting = first + 1;
            while (end - fitting > 1) {
                const qsizetype middle = fitting + (end - fitting) / 2;
                (fits(first, middle) ? fitting : end) = middle;
            }
            end = fitting;
        }
        const PageFrames page(frames, first, end, *this);
        const Packing packed = *packSmallest(page.footprints, rules);
        const int number = int(layout.pages.size());
        layout.pages.append(packed.sheet);
        QHash<qsizetype, QRect> rectOf;
        for (qsizetype i = 0; i < page.owners.size(); ++i)
            rectOf.insert(page.owners.at(i),
                          QRect(packed.corners.at(i) + QPoint(extrusion, extrusion),
                                frames.at(page.owners.at(i)).kept().size()));
        for (qsizetype k = first; k < end; ++k) {
            const FrameMeasure &frame = frames.at(k);
            const qsizetype owner = page.ownerOf.value(frame.alike < 0 ? k : frame.alike);
            layout.placements.append({number, rectOf.value(owner), frame.kept(), frame.size});
            layout.sharing.append(owner);
        }
        first = end;
    }
    return layout;
}

} // namespace quorbel
