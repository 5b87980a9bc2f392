#pragma once

#include "navigator/frmdynamic.h"
#include "platform/lists.h"
#include "support/bitmaps.h"
#include "support/testapp.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

// The steps a user takes in the Navigator, and what the tests read back afterwards, shared by
// the tests of the frame list, Draw and Save.
namespace steps {

// Starts the program with quorbel.ini naming startFolder. The process's working folder is the
// application folder, so the Navigator really moves to startFolder while it loads. One volume
// only, so a folder change never wanders off to a volume root.
inline void startIn(TestApp &app, const QString &startFolder)
{
    platform::setVolumeLister([] { return QStringList{QStringLiteral("/")}; });
    app.writeIni(startFolder.toUtf8() + "\r\n");
    app.start(app.appFolder());
}

inline frmDynamic &navigator()
{
    return frmDynamic::instance();
}

// Writes numberedFrame(i) under names[i]; false when a file could not be written.
inline bool writeFrames(const QString &folder, const QStringList &names, int width, int height)
{
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!testbitmaps::writeFile(QDir(folder).filePath(names.at(i)),
                                    testbitmaps::numberedFrame(int(i), width, height)))
            return false;
    }
    return true;
}

// The user picks a folder in the directory list.
inline void openFolder(const QString &folder)
{
    navigator().Dir1->setPath(folder);
}

// The user picks an entry of the rows list.
inline void pickRows(const QString &entry)
{
    navigator().cboNumOfRows->setText(entry);
    navigator().cboNumOfRows_Click();
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything in a folder, hidden entries included, so a left-over temporary file shows.
inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                      | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// "" when the image is exactly size and every pixel is what expected gives, else the first
// difference, for the failure message.
inline QString imageDifference(const QImage &image, QSize size,
                               const std::function<QRgb(int x, int y)> &expected)
{
    if (image.size() != size)
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(image.width())
            .arg(image.height())
            .arg(size.width())
            .arg(size.height());
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb actual = image.pixel(x, y) | 0xff000000u;
            const QRgb wanted = expected(x, y) | 0xff000000u;
            if (actual != wanted)
                return QStringLiteral("pixel (%1,%2) is #%3, expected #%4")
                    .arg(x)
                    .arg(y)
                    .arg(actual & 0xffffffu, 6, 16, QLatin1Char('0'))
                    .arg(wanted & 0xffffffu, 6, 16, QLatin1Char('0'));
        }
    }
    return {};
}

} // namespace steps
