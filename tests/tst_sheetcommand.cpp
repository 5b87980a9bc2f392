// quorbel-sheet's options, what it says and the exit status a build script acts on, and the files
// it leaves. That it writes the desktop program's very sheet is checked with Draw and Save.

#include "batch/sheetcommand.h"
#include "support/frames.h"

#include <QJsonDocument>
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace testframes;

class TestSheetCommand : public QObject
{
    Q_OBJECT

private slots:
    void runs_data()
    {
        // <f> is the folder of frames, walk names unless names says otherwise, 16 x 16 but where
        // sizes say otherwise (0 x 0: no bitmap at all); <s> the sheet, which holds "the previous
        // sheet" before the run; <w> the folder of both, which also holds a folder d.png.
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<QSize>>("sizes");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QList<int>>(
            "cells"); // the frame in each cell, -1 black; none: not written

        const auto said = [](const QString &lines) {
            QString text;
            for (const QString &line : lines.split(u'\n'))
                text += u"quorbel-sheet: "_s + line + u'\n';
            return text;
        };
        const auto usage = [&](const QString &mistake) {
            return said(mistake) + u"Try quorbel-sheet --help\n"_s;
        };
        const QStringList six = walkNames(6), ten = walkNames(10);
        const QList<QSize> one{{16, 16}};
        QList<QSize> fifthNarrow(10, QSize(16, 16));
        fifthNarrow[4] = QSize(12, 16);
        const QList<int> none;
        const auto row = [&](const char *name, const QStringList &names, const QList<QSize> &sizes,
                             const char16_t *arguments, int status, const QString &out,
                             const QString &err, const QList<int> &cells) {
            QTest::newRow(name) << names << sizes << QString::fromUtf16(arguments) << status << out
                                << err << cells;
        };
        row("--columns 3: rows follow", walkNames(7), one, u"<f> --columns 3 -o <s>", 0,
            said(u"<s>: 7 frames, 3 rows of 3, 48x48"_s), {}, {0, 1, 2, 3, 4, 5, 6, -1, -1});
        row("--columns beyond the frames", walkNames(3), one, u"<f> --columns 9 -o <s>", 0,
            said(u"<s>: 3 frames, 1 rows of 3, 48x16"_s), {}, {0, 1, 2});
        row("--max-width 70: 3 rows of 4", ten, one, u"<f> --max-width 70 -o <s>", 0,
            said(u"<s>: 10 frames, 3 rows of 4, 64x48"_s), {},
            {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -1});
        // As text, digits compare one by one: frame010b, frame1, Frame10, frame2.
        const QStringList numbered{u"frame1.bmp"_s, u"frame2.bmp"_s, u"Frame10.bmp"_s,
                                   u"frame010b.bmp"_s};
        row("text order", numbered, one, u"<f> --rows 1 -o <s>", 0,
            said(u"<s>: 4 frames, 1 rows of 4, 64x16"_s), {}, {3, 0, 2, 1});
        row("natural order, inverted", numbered, one,
            u"<f> --rows 1 --order natural --invert -o <s>", 0,
            said(u"<s>: 4 frames, 1 rows of 4, 64x16"_s), {}, {3, 2, 1, 0});
        const QString warned =
            said(u"warning: 1 frame left out, the grid of 3 rows of 3 has 9 cells: "
                 u"Walk10.bmp\nwarning: 1 frame differs in size from the first, "
                 u"16x16: WALK05.bmp is 12x16"_s);
        row("warnings", ten, fifthNarrow, u"<f> --rows 3 -o <s>", 0,
            said(u"<s>: 9 frames, 3 rows of 3, 48x48"_s), warned, {0, 1, 2, 3, 4, 5, 6, 7, 8});
        row("warnings, --strict", ten, fifthNarrow, u"<f> --rows 3 --strict -o <s>", 1,
            said(u"<s>: 9 frames, 3 rows of 3, 48x48"_s), warned, {0, 1, 2, 3, 4, 5, 6, 7, 8});
        row("--check", six, one, u"<f> --rows 2 --check", 0,
            said(u"<f>: 6 frames read, 2 rows of 3, 48x32"_s), {}, none);
        row("--version", {}, one, u"--version", 0, u"quorbel-sheet " QUORBEL_VERSION "\n"_s, {},
            none);
        // Errors write nothing.
        row("--check of unreadable frames", six, {{16, 16}, {0, 0}, {0, 0}, {16, 16}},
            u"<f> --rows 2 --check", 2, {},
            said(
                u"WALK02.bmp: Invalid picture (error 481)\nwalk03.bmp: Invalid picture (error 481)"_s),
            none);
        row("frame that is no bitmap", six, {{16, 16}, {16, 16}, {0, 0}, {16, 16}},
            u"<f> --rows 2 -o <s> --json <w>/s.json", 2, {},
            said(u"walk03.bmp: Invalid picture (error 481)"_s), none);
        row("PNG frames that cannot be read", {u"a.png"_s, u"b.png"_s}, {{0, 0}},
            u"<f> --frames png --rows 1 --check", 2, {},
            said(u"a.png: Invalid picture (error 481)"_s), none);
        // Mistakes in the folder, the file names or the options, in a folder of six frames.
        const auto mistake = [&](const char16_t *arguments, const QString &message) {
            row(qPrintable(QString::fromUtf16(arguments)), six, one, arguments, 2, {}, message,
                none);
        };
        mistake(u"<f>/nowhere --rows 2 -o <s>", said(u"<f>/nowhere: Path not found (error 76)"_s));
        mistake(u"<s> --rows 2 -o <w>/t.bmp", said(u"<s>: not a folder of frames"_s));
        mistake(u"<f> --rows 2 -o <w>/d.png",
                said(u"<w>/d.png: a folder; give the sheet's file name"_s));
        mistake(u"<f> --rows 13 -o <s>", said(u"6 frames in 13 rows round to no frame a row"_s));
        mistake(u"<f> -o <s>", usage(u"give one of --rows, --columns and --max-width"_s));
        mistake(u"<f> --rows 0 -o <s>", usage(u"--rows takes a whole number from 1 to 32767"_s));
        mistake(
            u"<f> --rows 2 -o <w>/s.gif",
            usage(
                u"<w>/s.gif: the sheet's name ends in .bmp or .png, which says how it is written"_s));
        mistake(u"<f> --rows 2 --png -o <s>",
                usage(u"--png asks for PNG, but <s> is named as a bitmap"_s));
        mistake(u"<f> --rows 2 -o <s> --json <s>",
                usage(u"-o and --json name the same file, <s>"_s));
        mistake(u"<f> --rows 2 --padding -1 -o <s>",
                usage(u"--padding takes a whole number from 0 to 4096"_s));
        mistake(
            u"<f> --rows 2 --padding 1 --extrude 2 -o <s>",
            usage(u"--extrude repeats edges into the padding, so it takes at most --padding 1"_s));
        mistake(u"<f> --rows 2 --frames gif -o <s>", usage(u"--frames is bmp, png or bmp,png"_s));
        mistake(u"<f> --rows 2 --transparent 00zz00 -o <s>",
                usage(u"--transparent takes a colour as six hex digits, RRGGBB, such as 000000"_s));
        mistake(u"<f> --rows 2 --transparent 000000 -o <s>",
                usage(u"--transparent needs a PNG sheet: a bitmap sheet has no transparency"_s));
        row("folder without frames", {}, one, u"<f> --rows 2 -o <s>", 2, {},
            said(u"<f>: no frames, no file named *.bmp"_s), none);
    }

    void runs()
    {
        QFETCH(QStringList, names);
        QFETCH(QList<QSize>, sizes);
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QList<int>, cells);
        QTemporaryDir work;
        const QString folder = work.filePath(u"f"_s), sheet = work.filePath(u"s.bmp"_s);
        QVERIFY(writeFrames(folder, names, sizes)); // a size of 0 x 0: no bitmap at all
        for (qsizetype i = 0; i < names.size(); ++i)
            QVERIFY(!sizes.value(i, sizes.last()).isEmpty()
                    || writeFile(folder + u'/' + names.at(i), "Not one."));
        QVERIFY(writeFile(sheet, "the previous sheet"));
        QVERIFY(QDir(work.path()).mkdir(u"d.png"_s));
        const auto fill = [&](QString text) {
            return text.replace(u"<f>"_s, folder)
                .replace(u"<s>"_s, sheet)
                .replace(u"<w>"_s, work.path());
        };
        const QStringList before = entries(work.path());

        QString printed, complained;
        QTextStream outStream(&printed), errStream(&complained);
        const int exit = runSheetCommand(u"quorbel-sheet "_s.append(fill(arguments)).split(u' '),
                                         outStream, errStream);
        outStream.flush();
        errStream.flush();

        QCOMPARE(complained, fill(err));
        QCOMPARE(printed, fill(out));
        QCOMPARE(exit, status);
        if (cells.isEmpty()) {
            QCOMPARE(readAll(sheet), "the previous sheet");
            QCOMPARE(entries(work.path()), before);
            return;
        }
        const QImage image(sheet, "BMP");
        QVERIFY(!image.isNull());
        for (int cell = 0; cell < cells.size(); ++cell) {
            const QPoint corner(cell * 16 % image.width(), cell * 16 / image.width() * 16);
            const QRgb expected =
                cells.at(cell) < 0 ? qRgb(0, 0, 0) : frameColour(cells.at(cell), 0, 0);
            QCOMPARE(image.pixel(corner), expected);
        }
    }

    void pngFramesKeepTheirTransparency_data()
    {
        QTest::addColumn<QString>("arguments"); // after the folder
        QTest::addColumn<bool>("withBitmaps"); // b1.bmp and b2.bmp drawn first
        QTest::addColumn<int>("perRow");
        const auto row = [](const char *name, const QString &arguments, bool bitmaps, int perRow) {
            QTest::newRow(name) << arguments << bitmaps << perRow;
        };
        row("PNG sheet", u"--rows 2 -o <w>/s.png"_s, false, 3);
        row("padding and extrusion", u"--rows 2 --padding 2 --extrude 1 -o <w>/s.png"_s, false, 3);
        // With the padding 3 frames of 16 need 56 pixels, more than 50: 2 a row.
        row("a width limit counts the padding",
            u"--max-width 50 --padding 2 --extrude 2 -o <w>/s.png"_s, false, 2);
        row("black made transparent", u"--rows 2 --transparent 000000 -o <w>/s.png"_s, false, 3);
        row("bitmap sheet: over black", u"--rows 2 --padding 1 -o <w>/s.bmp"_s, false, 3);
        row("bitmaps and PNGs", u"--frames bmp,png --rows 2 -o <w>/s.png"_s, true, 4);
    }

    // Every pixel of the sheet, alpha included, against a composition made here: each frame copied
    // into its cell, its edges repeated outward, the colour key applied, a bitmap over black. The
    // JSON rectangles point at the frames' own pixels.
    void pngFramesKeepTheirTransparency()
    {
        QFETCH(QString, arguments);
        QFETCH(bool, withBitmaps);
        QFETCH(int, perRow);
        const QStringList words = arguments.split(u' ');
        const auto option = [&](const QString &name, int base) {
            return words.contains(name) ? words.at(words.indexOf(name) + 1).toInt(nullptr, base)
                                        : -1;
        };
        const int padding = qMax(option(u"--padding"_s, 10), 0);
        const int extrude = qMax(option(u"--extrude"_s, 10), 0),
                  key = option(u"--transparent"_s, 16);
        const bool png = arguments.endsWith(u".png"_s);
        QTemporaryDir work;
        const QDir folder(work.filePath(u"f"_s));
        QVERIFY(folder.mkpath(u"."_s));
        QList<QImage> frames; // in drawing order
        QStringList names;
        if (withBitmaps) {
            for (int i = 0; i < 2; ++i) {
                names.append(u"b%1.bmp"_s.arg(i + 1));
                QVERIFY(writeFile(folder.filePath(names.last()), frameFile(i, {16, 12})));
                frames.append(frameImage(i, {16, 12}).convertToFormat(QImage::Format_ARGB32));
            }
        }
        for (int i = 0; i < 6; ++i) {
            QImage frame(16, 12, QImage::Format_ARGB32);
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 16; ++x)
                    frame.setPixel(x, y,
                                   (x + y) % 5 ? qRgba(40 * i, x * 16, y * 20, x * 17 + y)
                                               : qRgba(0, 0, 0, 200));
            names.append(u"p%1.png"_s.arg(i + 1));
            QVERIFY(frame.save(folder.filePath(names.last()), "png"));
            frames.append(frame);
        }
        const int rows = int(frames.size() + perRow - 1) / perRow;
        QImage expected(perRow * 16 + (perRow + 1) * padding, rows * 12 + (rows + 1) * padding,
                        QImage::Format_ARGB32);
        expected.fill(0);
        QList<QRect> placed;
        for (int k = 0; k < frames.size(); ++k) {
            placed.append({padding + k % perRow * (16 + padding),
                           padding + k / perRow * (12 + padding), 16, 12});
            for (int y = -extrude; y < 12 + extrude; ++y)
                for (int x = -extrude; x < 16 + extrude; ++x)
                    expected.setPixel(
                        placed.last().topLeft() + QPoint(x, y),
                        frames.at(k).pixel(std::clamp(x, 0, 15), std::clamp(y, 0, 11)));
        }
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                const QRgb c = expected.pixel(x, y);
                const auto over = [&](int channel) { return (channel * qAlpha(c) + 127) / 255; };
                if (!png)
                    expected.setPixel(x, y, qRgb(over(qRed(c)), over(qGreen(c)), over(qBlue(c))));
                else if (int(c & 0xffffffu) == key)
                    expected.setPixel(x, y, c & 0xffffffu);
            }
        }
        const QString json = work.filePath(u"s.json"_s);
        QString said;
        QTextStream out(&said);
        const QStringList run = QStringList{u"quorbel-sheet"_s, folder.path(), u"--frames"_s,
                                            u"png"_s,           u"--json"_s,   json}
            + QString(arguments).replace(u"<w>"_s, work.path()).split(u' ');
        QCOMPARE(runSheetCommand(run, out, out), 0);
        const QString sheet = work.filePath(png ? u"s.png"_s : u"s.bmp"_s);
        const QImage written(sheet, png ? "png" : "BMP");
        QVERIFY(written.convertToFormat(QImage::Format_ARGB32) == expected);
        const QJsonObject root = QJsonDocument::fromJson(readAll(json)).object();
        const QJsonObject meta = root.value(u"meta"_s).toObject();
        QCOMPARE(meta.value(u"image"_s).toString(), QFileInfo(sheet).fileName());
        QCOMPARE(meta.value(u"size"_s).toObject().toVariantMap(),
                 (QVariantMap{{u"w"_s, written.width()}, {u"h"_s, written.height()}}));
        const QJsonObject placedFrames = root.value(u"frames"_s).toObject();
        QCOMPARE(placedFrames.size(), names.size());
        for (int k = 0; k < names.size(); ++k) {
            const QJsonObject rect =
                placedFrames.value(names.at(k)).toObject().value(u"frame"_s).toObject();
            QCOMPARE(QRect(rect.value(u"x"_s).toInt(), rect.value(u"y"_s).toInt(),
                           rect.value(u"w"_s).toInt(), rect.value(u"h"_s).toInt()),
                     placed.at(k));
        }
    }

    // The help shows every option in an example; the program itself behaves as the function, and
    // with -o - its sheet is what it writes to standard output.
    void helpAndTheRealProgram()
    {
        QTemporaryDir work;
        QVERIFY(writeFrames(work.filePath(u"f"_s), walkNames(4)));
        QProcess process;
        process.start(QStringLiteral(QUORBEL_SHEET_PROGRAM), {u"--help"_s});
        QVERIFY(process.waitForFinished());
        const QString help = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(process.exitCode(), 0);
        for (const QString &option :
             u"rows columns max-width output png invert order frames padding "
             u"extrude transparent json check strict"_s.split(u' ')) {
            const QRegularExpression example(u"\n +e\\.g\\. quorbel-sheet [^\n]*--"_s + option
                                             + u"(?=[ \n])"_s);
            QVERIFY2(help.contains(example), qPrintable(option));
        }
        process.start(QStringLiteral(QUORBEL_SHEET_PROGRAM),
                      {work.filePath(u"f"_s), u"--rows"_s, u"2"_s, u"--png"_s, u"-o"_s, u"-"_s});
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitCode(), 0);
        const QImage png = QImage::fromData(process.readAllStandardOutput(), "png");
        QList<Frame> frames;
        for (int i = 0; i < 4; ++i)
            frames.append({{16, 16}, framePixels(i)});
        QCOMPARE(imageDifference(png, paintSheet(frames, {16, 16}, 2, 2)), QString());
        QCOMPARE(entries(work.path()), QStringList{u"f"_s});
    }
};

QTEST_MAIN(TestSheetCommand)
#include "tst_sheetcommand.moc"
