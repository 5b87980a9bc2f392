#pragma once

// Steps shared by the tests that walk the Navigator through folders of frames: making the
// folders, reading what the Navigator shows, and opening a folder the way a user does.

#include "navigator/frmdynamic.h"
#include "platform/form.h"
#include "support/bitmaps.h"
#include "support/testapp.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace folderwalk {

// A new folder under parent; its absolute path without symbolic links, as the folder list
// shows it.
inline QString makeFolder(const QString &parent, const QString &name)
{
    QDir(parent).mkpath(name);
    return QFileInfo(QDir(parent).filePath(name)).canonicalFilePath();
}

// "f01.bmp", "f02.bmp", ... : names whose file-list order is their number order.
inline QStringList numberedNames(int count, const QString &prefix = QStringLiteral("f"))
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(prefix + QStringLiteral("%1.bmp").arg(i, 2, 10, QLatin1Char('0')));
    return names;
}

// Writes one numbered frame per name: the first name gets frame number firstFrame, the next
// firstFrame + 1, and so on. False when a file could not be written.
inline bool writeFrames(const QString &folder, const QStringList &names, int width, int height,
                        int firstFrame = 1)
{
    int frame = firstFrame;
    for (const QString &name : names) {
        if (!testbitmaps::writeFile(QDir(folder).filePath(name),
                                    testbitmaps::numberedFrame(frame++, width, height)))
            return false;
    }
    return true;
}

// A folder of count numbered frames named f01.bmp ... under parent.
inline QString frameFolder(const QString &parent, const QString &name, int count, int width,
                           int height, int firstFrame = 1)
{
    const QString folder = makeFolder(parent, name);
    writeFrames(folder, numberedNames(count), width, height, firstFrame);
    return folder;
}

// The five value labels of "Image Info" in reading order: frame width, frame height, frames,
// frames per row, sheet size.
inline QStringList valueLabels()
{
    const frmDynamic &nav = frmDynamic::instance();
    return {nav.lblXSource->text(), nav.lblYSource->text(), nav.lblNumOfFrames->text(),
            nav.lblFramesPerRow->text(), nav.lblFinalSize->text()};
}

// The five value labels joined by '|', such as "32|32|8|8|256x32", for one-line comparisons.
inline QString figures()
{
    return valueLabels().join(u'|');
}

// A form's outer size in twips.
inline QSizeF twipsSize(const platform::Form &form)
{
    return {form.width(), form.height()};
}

// The program running over a fresh temporary folder, root. start() stores storedFolder (root
// when empty) as the last folder and starts with root as the working folder; when the two are
// the same no folder change runs at start, so the test's own walks are the only ones.
struct Session
{
    TestApp app;
    QTemporaryDir data;
    const QString root = QFileInfo(data.path()).canonicalFilePath();

    frmDynamic &start(const QString &storedFolder = QString())
    {
        app.writeIni((storedFolder.isEmpty() ? root : storedFolder).toUtf8() + "\r\n");
        app.start(root);
        return frmDynamic::instance();
    }
};

// Every entry of the rows list, in order.
inline QStringList rowChoices()
{
    const frmDynamic &nav = frmDynamic::instance();
    QStringList entries;
    for (int i = 0; i < nav.cboNumOfRows->count(); ++i)
        entries.append(nav.cboNumOfRows->itemText(i));
    return entries;
}

// The design entries of the rows list, then one appended run " 1" ... " n" per count.
inline QStringList expectedRowChoices(std::initializer_list<int> appendedRuns)
{
    QStringList entries;
    for (const char16_t *design : {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10",
                                   u"11", u"23"})
        entries.append(QString::fromUtf16(design));
    for (int run : appendedRuns) {
        for (int i = 1; i <= run; ++i)
            entries.append(u' ' + QString::number(i));
    }
    return entries;
}

// Opens a folder as the user does: the entry of the folder list that stands for it is made
// current and Enter is pressed on it. False when the list shows no entry for that folder.
inline bool activateFolder(const QString &folder)
{
    QListWidget *list = frmDynamic::instance().Dir1;
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem *item = list->item(i);
        if (item->data(Qt::UserRole).toString() == folder) {
            list->setCurrentItem(item);
            QTest::keyClick(list, Qt::Key_Return);
            return true;
        }
    }
    return false;
}

// "" when the image is exactly the numbered frame of that size; otherwise what differs first.
inline QString frameMismatch(const QImage &image, int frame, int width, int height)
{
    if (image.size() != QSize(width, height))
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(image.width()).arg(image.height()).arg(width).arg(height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb expected = testbitmaps::frameColour(frame, x, y);
            const QRgb actual = image.pixel(x, y);
            if (qRed(actual) != qRed(expected) || qGreen(actual) != qGreen(expected)
                || qBlue(actual) != qBlue(expected))
                return QStringLiteral("pixel (%1,%2) is %3, frame %4 has %5")
                    .arg(x).arg(y)
                    .arg(QColor(actual).name(), QString::number(frame), QColor(expected).name());
        }
    }
    return QString();
}

} // namespace folderwalk
