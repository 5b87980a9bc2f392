#include "batch/atlasjson.h"

#include <QJsonDocument>
#include <QRect>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

QJsonObject sizeObject(QSize size)
{
    return {{u"w"_s, size.width()}, {u"h"_s, size.height()}};
}

QJsonObject rectObject(const QRect &rect)
{
    return {
        {u"x"_s, rect.x()}, {u"y"_s, rect.y()}, {u"w"_s, rect.width()}, {u"h"_s, rect.height()}};
}

} // namespace

QByteArray atlasJson(const SheetPlan &plan, const QList<QSize> &frameSizes,
                     const QString &imageName, bool transparency)
{
    const quorbel::SheetGrid &grid = plan.grid;
    QJsonObject frames;
    for (qsizetype k = 0; k < frameSizes.size(); ++k) {
        const QPoint corner = grid.cellAt(k);
        const QRect rect = QRect(corner, frameSizes.at(k)).intersected(QRect(corner, grid.cell));
        frames.insert(
            plan.names.at(k),
            QJsonObject{{u"frame"_s, rectObject(rect)},
                        {u"rotated"_s, false},
                        {u"trimmed"_s, false},
                        {u"spriteSourceSize"_s, rectObject(QRect(QPoint(0, 0), rect.size()))},
                        {u"sourceSize"_s, sizeObject(frameSizes.at(k))}});
    }
    const QJsonObject meta{{u"app"_s, u"quorbel-sheet"_s},
                           {u"version"_s, QStringLiteral(QUORBEL_VERSION)},
                           {u"image"_s, imageName},
                           {u"format"_s, transparency ? u"RGBA8888"_s : u"RGB888"_s},
                           {u"size"_s, sizeObject(grid.sheetSize())},
                           {u"scale"_s, u"1"_s}};
    return QJsonDocument(QJsonObject{{u"frames"_s, frames}, {u"meta"_s, meta}}).toJson();
}
