#include "batch/atlasjson.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

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

namespace {

QJsonValue arrayOfPage(const Atlas &atlas, int page)
{
    return frameList(atlas, page);
}

} // namespace

QList<JsonFile> arrayAtlas(const Atlas &atlas, const QString &json)
{
    return filePerPage(atlas, json, arrayOfPage);
}
