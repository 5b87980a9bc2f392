#include "batch/atlasjson.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;
using namespace quorbel;

namespace {

QJsonObject rectObject(const QRect &rect)
{
    return {
        {u"x"_s, rect.x()}, {u"y"_s, rect.y()}, {u"w"_s, rect.width()}, {u"h"_s, rect.height()}};
}

} // namespace

QJsonObject sizeObject(QSize size)
{
    return {{u"w"_s, size.width()}, {u"h"_s, size.height()}};
}

QJsonObject frameEntry(const Placement &placed)
{
    return {{u"frame"_s, rectObject(placed.rect)},
            {u"rotated"_s, false},
            {u"trimmed"_s, placed.trimmed()},
            {u"spriteSourceSize"_s, rectObject(placed.source)},
            {u"sourceSize"_s, sizeObject(placed.original)}};
}

QJsonObject metaObject(const Atlas &atlas)
{
    return {{u"app"_s, u"quorbel-sheet"_s},
            {u"version"_s, QStringLiteral(QUORBEL_VERSION)},
            {u"format"_s, atlas.transparency ? u"RGBA8888"_s : u"RGB888"_s},
            {u"scale"_s, u"1"_s}};
}

QJsonObject animations(const Atlas &atlas, int firstPage, int lastPage)
{
    QJsonArray names;
    for (qsizetype k = 0; k < atlas.names.size(); ++k) {
        const int page = atlas.placements.at(k).page;
        if (page >= firstPage && page <= lastPage)
            names.append(atlas.names.at(k));
    }
    return {{atlas.animation, names}};
}

QJsonArray frameList(const Atlas &atlas, int page)
{
    QJsonArray frames;
    for (qsizetype k = 0; k < atlas.names.size(); ++k) {
        if (atlas.placements.at(k).page != page)
            continue;
        QJsonObject entry = frameEntry(atlas.placements.at(k));
        entry.insert(u"filename"_s, atlas.names.at(k));
        frames.append(entry);
    }
    return frames;
}

QList<JsonFile> filePerPage(const Atlas &atlas, const QString &json,
                            QJsonValue (*frames)(const Atlas &atlas, int page))
{
    const int pages = int(atlas.pages.size());
    QList<JsonFile> files;
    for (int page = 0; page < pages; ++page)
        files.append({pagePath(json, page, pages), {}});
    for (int page = 0; page < pages; ++page) {
        QJsonObject meta = metaObject(atlas);
        meta.insert(u"image"_s, atlas.images.at(page));
        meta.insert(u"size"_s, sizeObject(atlas.pages.at(page)));
        if (pages > 1) {
            QJsonArray others;
            for (const JsonFile &other : std::as_const(files)) {
                if (other.path != files.at(page).path)
                    others.append(QFileInfo(other.path).fileName());
            }
            meta.insert(u"related_multi_packs"_s, others);
        }
        const QJsonObject root{{u"frames"_s, frames(atlas, page)},
                               {u"animations"_s, animations(atlas, page, page)},
                               {u"meta"_s, meta}};
        files[page].bytes = QJsonDocument(root).toJson();
    }
    return files;
}

QString pagePath(const QString &path, int page, int pages)
{
    return pages == 1 ? path : numberedPath(path, page + 1);
}

QString numberedPath(const QString &path, int number)
{
    const QFileInfo info(path);
    const QString name = u"%1-%2.%3"_s.arg(info.completeBaseName()).arg(number).arg(info.suffix());
    return path.left(path.size() - info.fileName().size()) + name;
}
