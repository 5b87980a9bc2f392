#include "batch/sheetplan.h"

#include "core/framemeasure.h"
#include "core/packedlayout.h"

#include <QSet>

using namespace Qt::StringLiterals;
using namespace quorbel;

namespace {

// Why a frame fits no page: "walk3.png is 300 pixels wide, trimmed, with padding and extrusion
// more than --max-width 256".
QString tooLarge(const QString &name, const char16_t *side, int pixels, const char16_t *option,
                 int limit, int reach)
{
    const QString most = reach == limit
        ? u"--%1 %2"_s.arg(option).arg(limit)
        : u"%1, the largest power of two within --%2 %3"_s.arg(reach).arg(option).arg(limit);
    return u"%1 is %2 pixels %3, trimmed, with padding and extrusion more than %4"_s.arg(name)
        .arg(pixels)
        .arg(side, most);
}

// "packed in 1 rectangle", "packed in 9 rectangles".
QString rectanglesText(qsizetype count)
{
    return count == 1 ? u"packed in 1 rectangle"_s : u"packed in %1 rectangles"_s.arg(count);
}

} // namespace

std::optional<QString> planPacked(SheetPlan &plan, const SheetOptions &options, const QStringList &)
{
    QList<FrameMeasure> measured;
    try {
        measured = measureFrames(pathsOf(plan.folder, plan.names), options.transparent,
                                 options.alias, &plan.kept);
    } catch (const FrameFailure &failure) {
        return plan.names.at(failure.index) + u": "_s + readable(failure.error);
    }
    const PackedSheet sheet{QSize(options.gridValue, options.maxHeight), options.padding,
                            options.extrude, options.powerOfTwo};
    const QSize reach = sheet.reach();
    for (qsizetype k = 0; k < measured.size(); ++k) {
        const QSize kept = measured.at(k).kept().size(), needs = sheet.pageFor(kept);
        if (needs.width() > reach.width())
            return tooLarge(plan.names.at(k), u"wide", kept.width(), u"max-width",
                            options.gridValue, reach.width());
        if (needs.height() > reach.height())
            return tooLarge(plan.names.at(k), u"high", kept.height(), u"max-height",
                            options.maxHeight, reach.height());
    }
    plan.layout = sheet.layOut(measured);
    QList<QSet<qsizetype>> rectangles(plan.layout.pages.size());
    for (qsizetype k = 0; k < measured.size(); ++k)
        rectangles[plan.layout.placements.at(k).page].insert(plan.layout.painter(k));
    for (const QSet<qsizetype> &page : std::as_const(rectangles))
        plan.pageShapes.append(rectanglesText(page.size()));
    return std::nullopt;
}
