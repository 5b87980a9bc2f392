#pragma once

#include "core/layout.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

// What the JSON tells of a sheet: the name and placement of every frame drawn, in drawing order,
// and each page's size and file, named as the engine shall load it.
struct Atlas
{
    QStringList names;
    QList<quorbel::Placement> placements;
    QList<QSize> pages;
    QStringList images;
    QString animation;
    bool transparency = false;
};

struct JsonFile
{
    QString path;
    QByteArray bytes;
};

// The JSON of an atlas laid out one way, its files named after `json`. A layout is a file of its
// own behind this one signature.
using AtlasLayout = QList<JsonFile> (*)(const Atlas &atlas, const QString &json);

// TexturePacker's layouts, which Phaser and PixiJS import: "frames" by name, or as a list of
// entries that carry their "filename"; one file a page, each naming the others in
// meta.related_multi_packs, from which PixiJS loads them all.
QList<JsonFile> hashAtlas(const Atlas &atlas, const QString &json);
QList<JsonFile> arrayAtlas(const Atlas &atlas, const QString &json);
// Phaser's multi-atlas: one file, a texture for every page, each with its image, size and frames.
QList<JsonFile> multiAtlas(const Atlas &atlas, const QString &json);

// The pieces the layouts share. A frame's entry: its rectangle on its page ("frame"), never
// rotated, whether it is trimmed, the part of the original it shows ("spriteSourceSize") and the
// original's size ("sourceSize").
QJsonObject frameEntry(const quorbel::Placement &placed);
QJsonObject sizeObject(QSize size);
// The program, the pixel format and the scale.
QJsonObject metaObject(const Atlas &atlas);
// The animation: the names of the frames on these pages in drawing order.
QJsonObject animations(const Atlas &atlas, int firstPage, int lastPage);
// The frames on a page as the array layout lists them, in drawing order, each with its
// "filename".
QJsonArray frameList(const Atlas &atlas, int page);
// One file a page, its "frames" as `frames` makes them of the frames on it.
QList<JsonFile> filePerPage(const Atlas &atlas, const QString &json,
                            QJsonValue (*frames)(const Atlas &atlas, int page));

// "walk.png" as the page-th (from 0) of `pages`: itself alone, else walk-1.png, walk-2.png, ...
QString pagePath(const QString &path, int page, int pages);
// "walk.png" numbered 3: walk-3.png.
QString numberedPath(const QString &path, int number);
