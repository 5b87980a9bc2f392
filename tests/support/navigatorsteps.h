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

// Writes numberedFrame(i) under names[i]; false when a file could not be written. Scrambled, the
// odd frames go first, from the last down, so that neither creation nor the folder's order hands
// the names over sorted.
constexpr bool scrambled = true;
inline bool writeFrames(const QString &folder, const QStringList &names, int width, int height,
                        bool scrambled = false)
{
    QList<qsizetype> order;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (scrambled && i % 2 == 1)
            order.prepend(i);
        else
            order.append(i);
    }
    for (qsizetype i : std::as_const(order)) {
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
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// "" when the image is exactly size and every pixel is what expected gives, else the first
// difference, for the failure message.
inline QString imageDifference(const QImage &image, QSize size,
                               const std::function<QRgb(int x, int y)> &expected)
{
    if (image.size() != size)
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(image.width()).arg(image.height()).arg(size.width()).arg(size.height());
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb actual = image.pixel(x, y) | 0xff000000u;
            const QRgb wanted = expected(x, y) | 0xff000000u;
            if (actual != wanted)
                return QStringLiteral("pixel (%1,%2) is #%3, expected #%4")
                    .arg(x).arg(y)
                    .arg(actual & 0xffffffu, 6, 16, QLatin1Char('0'))
                    .arg(wanted & 0xffffffu, 6, 16, QLatin1Char('0'));
        }
    }
    return {};
}

inline bool hasNoPixels(const QImage &image)
{
    return image.isNull() || image.width() == 0 || image.height() == 0;
}

// count frames of a walk cycle, "Walk01.bmp", "WALK02.bmp", "walk03.bmp", ...: frame i sorts at
// place i only when case is ignored.
inline QStringList walkNames(int count = 8)
{
    const QStringList stems{QStringLiteral("Walk"), QStringLiteral("WALK"), QStringLiteral("walk")};
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(stems.at(i % 3) + QStringLiteral("%1.bmp").arg(i + 1, count > 99 ? 3 : 2, 10,
                                                                     QLatin1Char('0')));
    return names;
}

// The sheet of a grid of numbered frames painted in ascending (or inverted) order: cell n holds
// the frame painted n-th while n < painted, and stays black after that.
inline std::function<QRgb(int x, int y)> gridColours(int frames, bool inverted, int perRow,
                                                     int cellWidth, int cellHeight, int painted)
{
    return [=](int x, int y) {
        const int cell = (y / cellHeight) * perRow + x / cellWidth;
        const int frame = inverted ? frames - 1 - cell : cell;
        return cell >= painted ? qRgb(0, 0, 0)
                               : testbitmaps::frameColour(frame, x % cellWidth, y % cellHeight);
    };
}

// Starts in startFolder, opens framesFolder when it is another one, picks the rows and draws;
// true when Draw showed no message and enabled Save.
inline bool drawSheet(TestApp &app, const QString &startFolder, const QString &framesFolder,
                      const QString &rows = QStringLiteral("2"), bool invert = false)
{
    startIn(app, startFolder);
    if (framesFolder != startFolder)
        openFolder(framesFolder);
    pickRows(rows);
    navigator().chkInvert->setChecked(invert);
    navigator().cmdDraw->click();
    return app.messages.isEmpty() && navigator().cmdSave->isEnabled();
}

// Saves the sheet under path, as the user answering the save dialog, and reads the file back
// without the program's reader.
inline QImage saveSheet(TestApp &app, const QString &path)
{
    app.saveAnswer = path;
    navigator().cmdSave->click();
    return testbitmaps::readBmp24(readAll(path));
}

} // namespace steps
