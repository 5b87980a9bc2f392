#include "batch/atlasjson.h"

using namespace Qt::StringLiterals;

namespace {

QJsonValue framesByName(const Atlas &atlas, int page)
{
    QJsonObject frames;
    for (qsizetype k = 0; k < atlas.names.size(); ++k) {
        if (atlas.placements.at(k).page == page)
            frames.insert(atlas.names.at(k), frameEntry(atlas.placements.at(k)));
    }
    return frames;
}

} // namespace

QList<JsonFile> hashAtlas(const Atlas &atlas, const QString &json)
{
    return filePerPage(atlas, json, framesByName);
}
