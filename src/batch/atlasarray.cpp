#include "batch/atlasjson.h"

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
