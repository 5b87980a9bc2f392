#include "batch/atlasjson.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

// Each texture lists its frames as the array layout does; the animation spans every page.
QList<JsonFile> multiAtlas(const Atlas &atlas, const QString &json)
{
    QJsonArray textures;
    for (int page = 0; page < atlas.pages.size(); ++page) {
        QJsonObject texture = metaObject(atlas);
        texture.insert(u"image"_s, atlas.images.at(page));
        texture.insert(u"size"_s, sizeObject(atlas.pages.at(page)));
        texture.insert(u"frames"_s, frameList(atlas, page));
        textures.append(texture);
    }
    const QJsonObject root{{u"textures"_s, textures},
                           {u"animations"_s, animations(atlas, 0, int(atlas.pages.size()) - 1)},
                           {u"meta"_s, metaObject(atlas)}};
    return {{json, QJsonDocument(root).toJson()}};
}
