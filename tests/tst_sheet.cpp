// Draw, Save and quorbel-sheet on the same folders: the sheet an independent painter makes of the
// frames, shown, saved byte for byte and written by the command alike; Draws that cannot make a
// whole sheet; the name Save proposes; quorbel-sheet's options, what it says and the exit status a
// build script acts on, and the files it leaves, the JSON for game engines among them.

#include "batch/sheetcommand.h"
#include "core/deflatepieces.h"
#include "core/pngencoder.h"
#include "core/everycore.h"
#include "platform/picturebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/bmpkinds.h"
#include "support/faults.h"
#include "support/frames.h"
#include "support/testapp.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;
using namespace testframes;
using namespace quorbel;

namespace {

// quorbel-sheet run in this process, as its main() would; its exit status.
int sheetCommand(const QStringList &arguments)
{
    QString ignored;
    QTextStream out(&ignored), err(&ignored);
    return runSheetCommand(QStringList{u"quorbel-sheet"_s} + arguments, out, err);
}

// The file a plain writer makes of the image: bottom-up 24-bit rows padded with zeros, 2835
// pixels a metre, and the size of the pixel data filled in.
QByteArray plainBitmap(const QImage &image)
{
    QList<quint32> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.append(image.pixel(x, y) & 0xffffffu);
    const QByteArray rows = bmpkinds::packRows(pixels, image.width(), image.height(), 24);
    return bmpkinds::bmp(bmpkinds::Kind::Info, image.width(), image.height(), 24, rows)
        .replace(34, 4, bmpkinds::le(quint32(rows.size())));
}

} // namespace

class TestSheet : public QObject
{
    Q_OBJECT

private slots:
    void goldenSheets_data()
    {
        QTest::addColumn<int>("frames");
        QTest::addColumn<QList<QSize>>("sizes"); // of the frames in turn; the last repeats
        QTest::addColumn<QList<int>>("bits"); // likewise
        QTest::addColumn<QString>("rows");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<int>("perRow");
        QTest::addColumn<QString>("shortfall"); // the one message after the Draw

        const auto row = [](const char *name, int frames, const QString &rows, bool invert,
                            int perRow, const QString &shortfall = {},
                            const QList<QSize> &sizes = {{16, 16}}, const QList<int> &bits = {24}) {
            QTest::newRow(name) << frames << sizes << bits << rows << invert << perRow << shortfall;
        };
        row("walk cycle of 8 in 2 rows", 8, u"2"_s, false, 4, {}, {{32, 32}});
        row("walk cycle of 8 in 2 rows, inverted", 8, u"2"_s, true, 4, {}, {{32, 32}});
        row("10 in 4 rows: two left out", 10, u"4"_s, false, 2,
            u"2 frames left out: walk09.bmp, Walk10.bmp"_s);
        row("10 in 3 rows: one left out", 10, u"3"_s, false, 3, u"1 frame left out: Walk10.bmp"_s);
        row("5 in 2 rows, inverted: 2.5 is 2", 5, u"2"_s, true, 2,
            u"1 frame left out: Walk01.bmp"_s);
        row("34 in 23 rows: 11 left out", 34, u"23"_s, false, 1,
            u"11 frames left out: "_s + walkNames(34).mid(23, 5).join(u", "_s) + u" and 6 more"_s);
        row("7 in 2 rows: 3.5 is 4, a black cell", 7, u"2"_s, false, 4);
        row("7 x 5 frames: rows padded", 6, u"2"_s, false, 3, {}, {{7, 5}});
        // Each frame at its own size at its cell's corner: a larger one spills into the next cells
        // and is cut at the edge, a smaller one leaves black; an alpha byte plays no part.
        row("frames of other sizes and depths", 6, u"2"_s, false, 3,
            u"WALK02.bmp is 48x48, not 32x32\nWALK05.bmp is 16x16, not 32x32\n"
            u"walk06.bmp is 48x40, not 32x32"_s,
            {{32, 32}, {48, 48}, {32, 32}, {32, 32}, {16, 16}, {48, 40}}, {24, 8, 24, 24, 32, 8});
    }

    void goldenSheets()
    {
        QFETCH(int, frames);
        QFETCH(QList<QSize>, sizes);
        QFETCH(QList<int>, bits);
        QFETCH(QString, rows);
        QFETCH(bool, invert);
        QFETCH(int, perRow);
        QFETCH(QString, shortfall);
        QTemporaryDir start, folder, out;
        const QStringList names = walkNames(frames);
        QList<Frame> painted; // in drawing order
        for (int i = 0; i < frames; ++i) {
            const QSize size = sizes.value(i, sizes.last());
            const int depth = bits.value(i, bits.last());
            QVERIFY(writeFile(folder.filePath(names.at(i)), frameFile(i, size, depth)));
            painted.append({size, framePixels(i, depth)});
        }
        QStringList order = names;
        if (invert) {
            std::reverse(order.begin(), order.end());
            std::reverse(painted.begin(), painted.end());
        }
        painted = painted.mid(0, perRow * rows.toInt());
        const QImage expected = paintSheet(painted, sizes.first(), perRow, rows.toInt());

        TestApp app;
        frmDynamic &nav = app.startIn(start.path());
        nav.Dir1->setPath(folder.path());
        steps::draw(app, rows, invert);
        QCOMPARE(app.takeMessages(), shortfall.isEmpty() ? QStringList() : QStringList{shortfall});
        QVERIFY(nav.cmdSave->isEnabled());
        QCOMPARE(nav.FileNames, order);
        QCOMPARE(imageDifference(nav.picFinal->image(), expected), QString());
        // The "Final" window shows the very pixels Save writes, fitted to them; "Input" the frame
        // painted last.
        const frmPicFinal &final = frmPicFinal::instance();
        QCOMPARE(final.picFinal->picture().constBits(), nav.picFinal->image().constBits());
        QCOMPARE(QSizeF(final.width(), final.height()),
                 QSizeF(expected.size()) * 15 + QSizeF(100, 400));
        const Frame &last = painted.last();
        const QImage lastFrame = paintSheet({last}, last.size, 1, 1);
        QCOMPARE(imageDifference(frmPicWork::instance().picWork->picture(), lastFrame), QString());

        const QString saved = out.filePath(u"sheet.bmp"_s);
        QCOMPARE(imageDifference(steps::save(app, saved), expected), QString());
        QCOMPARE(app.dialogFileName, start.filePath(order.first()));
        const QByteArray bytes = readAll(saved);
        QCOMPARE(bytes, plainBitmap(expected));

        // quorbel-sheet writes the same bytes.
        const QString batch = out.filePath(u"batch.bmp"_s);
        QCOMPARE(sheetCommand(QStringList{folder.path(), u"--rows"_s, rows, u"-o"_s, batch}
                              + QStringList(invert, u"--invert"_s)),
                 0);
        QCOMPARE(readAll(batch), bytes);
        QCOMPARE(entries(out.path()), (QStringList{u"batch.bmp"_s, u"sheet.bmp"_s}));

        // Drawing again with nothing changed rebuilds the same sheet, and a window sized otherwise
        // meanwhile fits it again.
        frmPicFinal::instance().setWidth(2000);
        nav.cmdDraw->click();
        QCOMPARE(final.width(), expected.width() * 15 + 100.0);
        QCOMPARE(imageDifference(nav.picFinal->image(), expected), QString());
        QCOMPARE(app.messages, shortfall.isEmpty() ? QStringList() : QStringList{shortfall});
        QVERIFY(!QGuiApplication::overrideCursor()); // the busy cursor is gone
    }

    void drawWithoutWholeSheet_data()
    {
        QTest::addColumn<int>("startFrames"); // in the folder the program starts in
        QTest::addColumn<int>("frames");
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<QString>("rows");
        // Done between a first Draw and the one tested; "memory" caps the memory of the only Draw.
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("painted"); // cells painted; -1: not even a sheet was made

        const auto row = [](const char *name, int startFrames, int frames, QSize size,
                            const char16_t *rows, const char16_t *breakage, const QString &message,
                            int painted) {
            QTest::newRow(name) << startFrames << frames << size << QString::fromUtf16(rows)
                                << QString::fromUtf16(breakage) << message << painted;
        };
        const QString unable = u"Unable to Draw, check yer files."_s;
        // 0.5 frames per row or fewer round to none: a sheet 0 pixels wide, which Save could not
        // write.
        row("4 frames, entry \" 8\" of an earlier folder", 8, 4, {16, 16}, u" 8", u"",
            u"No frame fits the grid: the sheet would be 0x128 pixels."_s, -1);
        row("8 frames, design entry 23", 0, 8, {16, 16}, u"23", u"",
            u"No frame fits the grid: the sheet would be 0x368 pixels."_s, -1);
        // The list then holds an empty name, sorted first: the very first load fails.
        row("frame deleted after the count", 0, 4, {16, 16}, u"2", u"delete", unable, 0);
        row("frame that is no bitmap", 0, 4, {16, 16}, u"2", u"garble", unable, 2);
        // The sheet is made before any frame is read.
        row("no memory for the sheet", 0, 16, {2048, 1024}, u"2", u"memory",
            u"Not Enough Ram to Create Final"_s, -1);
        // The 82nd frame lands at x = 32400; the next step would put x at 32800.
        row("sheet beyond the coordinate limit", 0, 100, {400, 1}, u"1", u"", unable, 82);
    }

    // A sheet that failed half way, or has no pixels, is never offered for saving, even when an
    // earlier Draw had enabled Save.
    void drawWithoutWholeSheet()
    {
        QFETCH(int, startFrames);
        QFETCH(int, frames);
        QFETCH(QSize, frameSize);
        QFETCH(QString, rows);
        QFETCH(QString, breakage);
        QFETCH(QString, message);
        QFETCH(int, painted);
        TestApp app;
        QTemporaryDir start, folder, out;
        const QStringList names = walkNames(frames);
        QVERIFY(writeFrames(start.path(), walkNames(startFrames)));
        QVERIFY(breakage == u"memory"_s || writeFrames(folder.path(), names, {frameSize}, true));
        // Where memory runs short, all black and a few bytes each.
        for (const QString &name : names)
            QVERIFY(breakage != u"memory"_s
                    || writeFile(folder.filePath(name),
                                 bmpkinds::rle(frameSize.width(), frameSize.height(), 8, "0001")));
        frmDynamic &nav = app.startIn(start.path());
        nav.Dir1->setPath(folder.path());
        // Room for the frames, a few bytes each, not for the sheet of 96 MB.
        std::optional<faults::MemoryCap> cap;
        if (breakage == u"memory"_s && !cap.emplace(4 << 20).holds)
            QSKIP("the address space cannot be capped here");
        const bool drawn = steps::draw(app, rows);
        cap.reset();
        if (!breakage.isEmpty() && breakage != u"memory"_s) {
            QVERIFY(drawn);
            const QString broken = folder.filePath(names.at(2));
            if (breakage == u"delete"_s)
                QVERIFY(QFile::remove(broken));
            else
                QVERIFY(writeFile(broken, "Not a picture."));
            nav.cmdDraw->click();
        }

        QCOMPARE(app.takeMessages(), QStringList{message});
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!nav.cmdSave->isEnabled());
        QVERIFY(frmPicWork::instance().picWork->picture().isNull());
        QVERIFY(frmPicFinal::instance().picFinal->picture().isNull());
        if (painted >= 0) { // what was painted before the failure stays on the Navigator's sheet
            const QImage done =
                paintFrames(painted, frameSize, nav.lblFramesPerRow->text().toInt(), rows.toInt());
            QCOMPARE(imageDifference(nav.picFinal->image(), done), QString());
        } else {
            QVERIFY(nav.picFinal->image().isNull());
        }

        // A disabled Save shows no dialog.
        steps::save(app, out.filePath(u"sheet.bmp"_s));
        QCOMPARE(app.dialogsShown, 0);
        QCOMPARE(entries(out.path()), QStringList());
        // quorbel-sheet has no 16-bit coordinates: it makes the whole of a sheet beyond them.
        if (const int perRow = nav.lblFramesPerRow->text().toInt();
            perRow * frameSize.width() > 32767) {
            QCOMPARE(sheetCommand(
                         {folder.path(), u"--rows"_s, rows, u"-o"_s, out.filePath(u"wide.bmp"_s)}),
                     0);
            QCOMPARE(imageDifference(QImage(out.filePath(u"wide.bmp"_s), "BMP"),
                                     paintFrames(frames, frameSize, perRow, rows.toInt())),
                     QString());
        }
    }

    void runs_data()
    {
        // <f> is the folder of frames, walk names unless names says otherwise, 16 x 16 but where
        // sizes say otherwise (0 x 0: no bitmap at all, but for the earlier runs); <s> the sheet,
        // which holds "the previous sheet" before the run; <w> the folder of both, which also
        // holds a folder d.png. Earlier runs, which must succeed, come first, each ending in " ; ".
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
        const QStringList six = walkNames(6), ten = walkNames(10);
        const QList<QSize> one{{16, 16}};
        const QList<QSize> fifthNarrow{{16, 16}, {16, 16}, {16, 16}, {16, 16}, {12, 16}, {16, 16}};
        const QList<int> none;
        const auto row = [&](const char *name, const QStringList &names, const QList<QSize> &sizes,
                             QStringView arguments, int status, const QString &out,
                             const QString &err, const QList<int> &cells) {
            QTest::newRow(name) << names << sizes << arguments.toString() << status << out << err
                                << cells;
        };
        row("--columns 3: rows follow", walkNames(7), one, u"<f> --columns 3 -o <s>", 0,
            said(u"<s>: 7 frames, 3 rows of 3, 48x48"_s), {}, {0, 1, 2, 3, 4, 5, 6, -1, -1});
        row("--max-width 70: 3 rows of 4", ten, one, u"<f> --max-width 70 -o <s>", 0,
            said(u"<s>: 10 frames, 3 rows of 4, 64x48"_s), {},
            {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -1});
        // As text, digits compare one by one: frame010b, frame1, Frame10, frame2, framex; in
        // natural order numbers compare whole, but a digit still sorts before a letter.
        const QStringList numbered{u"frame1.bmp"_s, u"frame2.bmp"_s, u"Frame10.bmp"_s,
                                   u"frame010b.bmp"_s, u"framex.bmp"_s};
        row("text order", numbered, one, u"<f> --rows 1 -o <s>", 0,
            said(u"<s>: 5 frames, 1 row of 5, 80x16"_s), {}, {3, 0, 2, 1, 4});
        row("natural order, inverted", numbered, one,
            u"<f> --rows 1 --order natural --invert -o <s>", 0,
            said(u"<s>: 5 frames, 1 row of 5, 80x16"_s), {}, {4, 3, 2, 1, 0});
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
        // Trimmed, the cell is as large as what shows of all frames: the frames that make it so
        // are named. WALK02.bmp is 1 x 20, its top pixel of the key colour.
        const QList<QSize> tall{{16, 16}, {1, 20}, {16, 16}};
        row("--trim, too high: the two frames", six, tall,
            u"<f> --columns 3 --trim --transparent 1f0000 --max-height 19 -o <w>/s.png", 2, {},
            said(u"Walk01.bmp and WALK02.bmp span 20 pixels high, trimmed alike, with padding and "
                 u"extrusion more than --max-height 19"_s),
            none);
        row("--trim, too wide: the one frame", six, tall,
            u"<f> --trim --transparent 1f0000 --max-width 15 -o <w>/s.png", 2, {},
            said(u"Walk01.bmp is 16 pixels wide, trimmed, with padding and extrusion more than "
                 u"--max-width 15"_s),
            none);
        // Mistakes in the folder, the file names or the options, in a folder of six frames: the
        // arguments, then what quorbel-sheet says; after a mistake in the options it points to
        // the help.
        const auto mistakes = [&](const char16_t *table, bool options) {
            for (const QString &line : QString::fromUtf16(table).split(u'\n', Qt::SkipEmptyParts)) {
                const QString arguments = line.section(u" | "_s, 0, 0);
                const QString message = said(line.section(u" | "_s, 1));
                row(qPrintable(arguments), six, one, arguments, 2, {},
                    options ? message + u"Try quorbel-sheet --help\n"_s : message, none);
            }
        };
        mistakes(uR"(
<f>/nowhere --rows 2 -o <s> | <f>/nowhere: Path not found (error 76)
<s> --rows 2 -o <w>/t.bmp | <s>: not a folder of frames
<f> --rows 2 -o <w>/d.png | <w>/d.png: a folder; give the sheet's file name
<f> --rows 13 -o <s> | 6 frames in 13 rows round to no frame a row
<f> --columns 2 --max-height 15 -o <s> | Walk01.bmp is 16 pixels high, with padding and extrusion more than --max-height 15
<f> --rows 2 -o <s> --json <w>/no/s.json | <w>/no/s.json: Path not found (error 76)
<f> --layout packed --max-height 17 --padding 1 -o <s> | Walk01.bmp is 16 pixels high, trimmed, with padding and extrusion more than --max-height 17
<f> --layout packed --pot --max-width 20 --extrude 1 -o <s> | Walk01.bmp is 16 pixels wide, trimmed, with padding and extrusion more than 16, the largest power of two within --max-width 20
)",
                 false);
        mistakes(uR"(
<f> -o <s> | give one of --rows, --columns and --max-width, or --layout packed
<f> --rows 0 -o <s> | --rows takes a whole number from 1 to 32767
<f> --layout pack -o <s> | --layout is grid or packed
<f> --layout packed --columns 2 -o <s> | --layout packed places the frames itself: leave out --rows and --columns
<f> --layout packed --trim -o <s> | --layout packed trims every frame by itself: leave out --trim
<f> --columns 2 --no-alias -o <s> | --no-alias shapes a packed sheet: give --layout packed too
<f> --rows 2 -o <w>/s.gif | <w>/s.gif: the sheet's name ends in .bmp or .png, which says how it is written
<f> --rows 2 --png -o <s> | --png asks for PNG, but <s> is named as a bitmap
<f> --rows 2 -o <s> --json <s> | -o and --json name the same file, <s>
<f> --rows 2 --padding -1 -o <s> | --padding takes a whole number from 0 to 4096
<f> --rows 2 --max-height 64 -o <s> | --max-height cuts the grid into pages of whole rows: give it with --columns or --max-width
<f> --rows 2 --png -o - --json <w>/s.json | -o - writes the sheet to standard output, so the JSON cannot name its file: give --image NAME, the name the game engine loads it by
<f> --rows 2 -o <s> --data array | --data shapes the JSON: give --json FILE too
<f> --rows 2 --trim -o <w>/s.png | --trim cuts away transparent borders, and bitmap frames have no transparency: give --transparent RRGGBB, the colour around them
<f> --rows 2 --frames gif -o <s> | --frames is bmp, png or bmp,png
<f> --rows 2 --transparent 00zz00 -o <s> | --transparent takes a colour as six hex digits, RRGGBB, such as 000000
<f> --rows 2 --transparent 000000 -o <s> | --transparent needs a PNG sheet: a bitmap sheet has no transparency
<f> --rows 2 --png-level small -o <w>/s.png | --png-level is fast, default or best
<f> --rows 2 --png-level best -o <s> | --png-level needs a PNG sheet: a bitmap is not compressed
)",
                 true);
        row("folder without frames", {}, one, u"<f> --rows 2 -o <s>", 2, {},
            said(u"<f>: no frames, no file named *.bmp"_s), none);
        // Pages are written as a set: a frame that cannot be read on the second page leaves the
        // first page and every JSON of an earlier run, with padding, as they were.
        const QString paged = u"<f> --columns 3 --max-height 18 -o <s> --json <w>/s.json"_s;
        row("unreadable frame on page 2", six, {{16, 16}, {16, 16}, {16, 16}, {16, 16}, {0, 0}},
            paged + u" --padding 1 ; "_s + paged, 2, {},
            said(u"WALK05.bmp: Invalid picture (error 481)"_s), none);
        // Files of an earlier run's pages beyond this run's are not removed, but named.
        row("one page after three", six, one,
            u"<f> --columns 2 --max-height 16 -o <s> --json <w>/s.json ; "
            u"<f> --columns 3 -o <s> --json <w>/s.json",
            0, said(u"<s>: 6 frames, 2 rows of 3, 48x32"_s),
            said(u"warning: 6 files left from an earlier run, not of this sheet: <w>/s-1.bmp, "
                 u"<w>/s-2.bmp, <w>/s-3.bmp, <w>/s-1.json, <w>/s-2.json, <w>/s-3.json"_s),
            {0, 1, 2, 3, 4, 5});
        row("two pages after three, --strict", six, one,
            u"<f> --columns 2 --max-height 16 -o <s> ; <f> --columns 3 --max-height 16 --strict "
            u"-o <s>",
            1,
            said(u"<w>/s-1.bmp: 3 frames, 1 row of 3, 48x16\n"
                 u"<w>/s-2.bmp: 3 frames, 1 row of 3, 48x16"_s),
            said(u"warning: 1 file left from an earlier run, not of this sheet: <w>/s-3.bmp"_s),
            {0, 1, 2});
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
        QList<QSize> readable = sizes;
        for (QSize &size : readable)
            size = size.isEmpty() ? QSize(16, 16) : size;
        QVERIFY(writeFrames(folder, names, readable));
        QVERIFY(writeFile(sheet, "the previous sheet"));
        QVERIFY(QDir(work.path()).mkdir(u"d.png"_s));
        const auto fill = [&](QString text) {
            return text.replace(u"<f>"_s, folder)
                .replace(u"<s>"_s, sheet)
                .replace(u"<w>"_s, work.path());
        };
        QStringList runs = arguments.split(u" ; "_s);
        const QString last = runs.takeLast();
        for (const QString &earlier : std::as_const(runs))
            QCOMPARE(sheetCommand(fill(earlier).split(u' ')), 0);
        for (qsizetype i = 0; i < names.size(); ++i)
            QVERIFY(!sizes.value(i, sizes.last()).isEmpty()
                    || writeFile(folder + u'/' + names.at(i), "Not one."));
        const auto files = [&] { // and what each holds
            QMap<QString, QByteArray> files;
            for (const QString &name : entries(work.path()))
                files.insert(name, readAll(work.filePath(name)));
            return files;
        };
        const auto before = files();

        QString printed, complained;
        QTextStream outStream(&printed), errStream(&complained);
        const int exit = runSheetCommand(u"quorbel-sheet "_s.append(fill(last)).split(u' '),
                                         outStream, errStream);
        outStream.flush();
        errStream.flush();

        QCOMPARE(complained, fill(err));
        QCOMPARE(printed, fill(out));
        QCOMPARE(exit, status);
        if (cells.isEmpty()) {
            QCOMPARE(files(), before);
            return;
        }
        const QImage image(printed.section(u": "_s, 1, 1), "BMP"); // the first written
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
        // Each frame's ring is its own: 3 frames need 3 * 20 + 4 * 2 = 68 pixels, more than 50.
        row("a width limit counts the padding and the rings",
            u"--max-width 50 --padding 2 --extrude 2 -o <w>/s.png"_s, false, 2);
        row("extrusion without padding", u"--columns 4 --extrude 1 -o <w>/s.png"_s, false, 4);
        row("black made transparent", u"--rows 2 --transparent 000000 -o <w>/s.png"_s, false, 3);
        row("compressed fast", u"--rows 2 --png-level fast -o <w>/s.png"_s, false, 3);
        row("compressed best", u"--rows 2 --padding 1 --png-level best -o <w>/s.png"_s, false, 3);
        row("bitmap sheet: over black", u"--rows 2 --padding 1 -o <w>/s.bmp"_s, false, 3);
        row("bitmaps and PNGs", u"--frames bmp,png --rows 2 -o <w>/s.png"_s, true, 4);
    }

    // Every pixel of the sheet, alpha included, against a composition made here: each frame copied
    // into its cell, its edges repeated outward, the colour key applied, a bitmap over black.
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
        for (int i = 0; i < 2 * withBitmaps; ++i) {
            names.append(u"b%1.bmp"_s.arg(i + 1));
            QVERIFY(writeFile(folder.filePath(names.last()), frameFile(i, {16, 12})));
            frames.append(frameImage(i, {16, 12}).convertToFormat(QImage::Format_ARGB32));
        }
        for (int i = 0; i < 6; ++i) {
            QImage frame(16, 12, QImage::Format_ARGB32);
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 16; ++x)
                    frame.setPixel(x, y,
                                   (x + y) % 5 ? qRgba(40 * i, x * 16, y * 20, x * 17 + y)
                                               : qRgba(0, 0, 0, 200));
            // The last frame is stored with a palette, its transparency in a tRNS chunk.
            const QImage stored = i == 5 ? frame.convertToFormat(QImage::Format_Indexed8) : frame;
            names.append(u"p%1.png"_s.arg(i + 1));
            QVERIFY(stored.save(folder.filePath(names.last()), "png"));
            frames.append(stored.convertToFormat(QImage::Format_ARGB32));
        }
        const int rows = int(frames.size() + perRow - 1) / perRow, ring = 2 * extrude;
        QImage expected(perRow * (16 + ring) + (perRow + 1) * padding,
                        rows * (12 + ring) + (rows + 1) * padding, QImage::Format_ARGB32);
        expected.fill(0);
        for (int k = 0; k < frames.size(); ++k) {
            const QPoint corner(padding + extrude + k % perRow * (16 + ring + padding),
                                padding + extrude + k / perRow * (12 + ring + padding));
            for (int y = -extrude; y < 12 + extrude; ++y)
                for (int x = -extrude; x < 16 + extrude; ++x)
                    expected.setPixel(
                        corner + QPoint(x, y),
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
        QString said;
        QTextStream out(&said);
        const QStringList run =
            QStringList{u"quorbel-sheet"_s, folder.path(), u"--frames"_s, u"png"_s}
            + QString(arguments).replace(u"<w>"_s, work.path()).split(u' ');
        QCOMPARE(runSheetCommand(run, out, out), 0);
        const QString sheet = work.filePath(png ? u"s.png"_s : u"s.bmp"_s);
        const QImage written(sheet, png ? "png" : "BMP");
        QVERIFY(written.convertToFormat(QImage::Format_ARGB32) == expected);
    }

    // Pieces deflated apart join into one stream that zlib's inflate reads back exactly, wherever
    // the data is cut: empty pieces, a byte, stored blocks of noise, at every level.
    void deflatedPiecesJoinIntoOneStream()
    {
        QRandomGenerator random(21);
        for (int round = 0; round < 200; ++round) {
            QByteArray data;
            const int noise = random.bounded(1, 9); // one byte in so many is random
            for (int i = random.bounded(60000); i > 0; --i)
                data += char(random.bounded(noise) ? 'a' + i / 4000 % 6 : random.bounded(256));
            QList<qsizetype> cuts{0, data.size()};
            for (int i = random.bounded(8); i > 0; --i)
                cuts.append(random.bounded(data.size() + 1));
            std::sort(cuts.begin(), cuts.end());
            const int level = random.bounded(1, 13);
            PieceDeflater deflater(level);
            QByteArray stream = zlibHeader(level);
            quint32 adler32 = 1;
            for (qsizetype i = 1; i < cuts.size(); ++i) {
                const DeflatedPiece piece = deflater.deflate(
                    QByteArrayView(data).sliced(cuts[i - 1], cuts[i] - cuts[i - 1]),
                    i + 1 == cuts.size());
                stream += piece.deflated;
                adler32 = combinedAdler32(adler32, piece.adler32, piece.length);
            }
            stream += zlibTrailer(adler32);
            QByteArray sized(4, '\0'); // the length qUncompress reads first, then zlib's inflate
            qToBigEndian(quint32(data.size()), sized.data());
            QCOMPARE(qUncompress(sized + stream), data);
        }
    }

    void pngSheetsAreTheSameOnAnyCoreCount_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("alpha");
        QTest::addColumn<PngLevel>("level");
        QTest::newRow("RGBA in 12 bands") << QSize(1024, 3000) << true << PngLevel::Default;
        QTest::newRow("RGB in 2 bands, fast") << QSize(257, 1800) << false << PngLevel::Fast;
        QTest::newRow("a band a row") << QSize(300000, 3) << true << PngLevel::Default;
        QTest::newRow("best") << QSize(200, 300) << true << PngLevel::Best;
    }

    // Sheets of several bands: the same bytes on one thread and on four, Qt's reader, libpng,
    // reads back the very pixels, and a disk filling up part way stops every thread.
    void pngSheetsAreTheSameOnAnyCoreCount()
    {
        QFETCH(QSize, size);
        QFETCH(bool, alpha);
        QFETCH(PngLevel, level);
        Picture picture(size, alpha ? Picture::Format::Bgra32 : Picture::Format::Bgr24);
        QRandomGenerator random(size.width());
        for (int y = 0; y < size.height(); ++y) {
            uchar *row = picture.scanLine(y);
            // Stripes of noise, slopes, checks and ramps: each of the five filters wins rows.
            for (int i = 0; i < size.width() * picture.bytesPerPixel(); ++i) {
                const int x = i / picture.bytesPerPixel(), noise = random.bounded(256);
                const int stripes[] = {noise, x * 3 + y * 5 + noise % 3,
                                       ((x + y) & 8 ? 200 : 20) + noise % 16, x * 4 + noise % 2};
                row[i] = uchar(stripes[y / 8 % 4]);
            }
        }
        QByteArray one, four;
        const auto into = [](QByteArray &bytes) -> ByteSink {
            return [&bytes](const QList<QByteArrayView> &pieces) {
                for (QByteArrayView piece : pieces)
                    bytes += piece;
            };
        };
        threadCountSetting() = 1;
        encodePng(picture, into(one), level);
        threadCountSetting() = 4;
        encodePng(picture, into(four), level);
        QVERIFY(one == four);
        Picture expected(size, Picture::Format::Bgra32);
        copyPicture(picture, expected, {0, 0});
        const QImage read = QImage::fromData(one, "png").convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(read.size(), size);
        QVERIFY(std::memcmp(read.constBits(), expected.constBits(), size_t(read.sizeInBytes()))
                == 0);
        // Full after the headers and a band, slow to fail, so that the other threads have filled
        // what may wait to be written.
        int calls = 0;
        const auto full = [&calls](const QList<QByteArrayView> &) {
            if (++calls < 3)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            raise(err::DiskFull);
        };
        QVERIFY_THROWS_EXCEPTION(RuntimeError, encodePng(picture, full, level));
        QCOMPARE(calls, 3);
        threadCountSetting() = 0;
    }

    void packedSheets_data()
    {
        // Frames of 40 x 40, each "WxH" of content at an offset of its own in a transparent
        // border, or "=K" the content of frame K again at another offset.
        QTest::addColumn<QString>("frames");
        QTest::addColumn<QString>("arguments"); // after the folder, -o and --json
        QTest::addColumn<QString>("said"); // by the run, <s> the sheet
        const auto row = [](const char *name, const QString &frames, const QString &arguments,
                            const QString &said) {
            QString lines;
            for (const QString &line : said.split(u'\n', Qt::SkipEmptyParts))
                lines += u"quorbel-sheet: <s>"_s + line + u'\n';
            QTest::newRow(name) << frames << arguments << lines;
        };
        // Rings of 23 x 13, 13 x 13 and 13 x 23 with their gap: 40 x 27 or 27 x 40 at the least.
        row("uneven margins, padding and extrusion", u"20x10 10x10 10x20 10x10"_s,
            u"--padding 1 --extrude 1"_s, u".png: 4 frames, packed in 4 rectangles, 27x40"_s);
        row("10 identical frames stored once", u"12x7 =0 =0 =0 =0 =0 =0 =0 =0 =0"_s, {},
            u".png: 10 frames, packed in 1 rectangle, 12x7"_s);
        row("--no-alias", u"12x7 =0 =0"_s, u"--no-alias"_s,
            u".png: 3 frames, packed in 3 rectangles, 12x21"_s);
        row("--pot", u"12x7 9x9 30x3"_s, u"--pot"_s,
            u".png: 3 frames, packed in 3 rectangles, 32x16"_s);
        // Two rectangles a page; a frame alike one on an earlier page is stored again, so each
        // page stands alone.
        row("pages", u"14x14 =0 14x14 =0 =2 14x14 =0"_s,
            u"--max-width 34 --max-height 18 --padding 2"_s,
            u"-1.png: 5 frames, packed in 2 rectangles, 34x18\n"
            u"-2.png: 2 frames, packed in 2 rectangles, 34x18"_s);
        row("many sizes", u"3x5 17x4 9x9 1x1 22x13 6x30 =2 14x14 5x5 31x2 8x19 12x12 =4 2x2 27x9"_s,
            u"--padding 1"_s, u".png: 15 frames, packed in 13 rectangles, 50x41"_s);
    }

    // Every frame drawn as the JSON says: its kept pixels at its rectangle, exact, its ring the
    // edge repeated, the padding clear between rings and around them; identical frames on one
    // rectangle; and the same bytes with one thread or four, the files written in either order.
    void packedSheets()
    {
        QFETCH(QString, frames);
        QFETCH(QString, arguments);
        QFETCH(QString, said);
        const QStringList specs = frames.split(u' ');
        const QStringList words = arguments.split(u' ', Qt::SkipEmptyParts);
        const auto option = [&](const QString &name) {
            return words.contains(name) ? words.at(words.indexOf(name) + 1).toInt() : 0;
        };
        const int padding = option(u"--padding"_s), extrude = option(u"--extrude"_s);
        QList<QRect> kept;
        QList<int> source;
        for (int i = 0; i < specs.size(); ++i) {
            source.append(specs.at(i).startsWith(u'=') ? specs.at(i).mid(1).toInt() : i);
            const QStringList wh = specs.at(source.last()).split(u'x');
            const QSize size(wh.at(0).toInt(), wh.at(1).toInt());
            kept.append({QPoint(i * 7 % (41 - size.width()), i * 3 % (41 - size.height())), size});
        }
        const auto pixel = [&](int i, QPoint at) {
            const QPoint p = at - kept.at(i).topLeft();
            const int k = source.at(i);
            return kept.at(i).contains(at)
                ? qRgba(k * 53 + p.x() * 29, k * 97 + p.y() * 31, p.x() * p.y(),
                        (p.x() + p.y() + k) % 4 ? 255 : 90)
                : qRgba(i, 0, 0, 0);
        };
        QTemporaryDir work;
        const auto run = [&](const QString &name, bool reversed, unsigned threads) {
            const QDir folder(work.filePath(name));
            folder.mkpath(u"f"_s);
            for (int n = 0; n < specs.size(); ++n) {
                const int i = reversed ? int(specs.size()) - 1 - n : n;
                QImage frame(40, 40, QImage::Format_ARGB32);
                for (int y = 0; y < 40; ++y)
                    for (int x = 0; x < 40; ++x)
                        frame.setPixel(x, y, pixel(i, {x, y}));
                frame.save(folder.filePath(u"f/p%1.png"_s.arg(i, 2, 10, QChar(u'0'))));
            }
            quorbel::threadCountSetting() = threads;
            QString printed;
            QTextStream out(&printed);
            const int status = runSheetCommand(
                QStringList{u"quorbel-sheet"_s, folder.filePath(u"f"_s), u"--frames"_s, u"png"_s,
                            u"--layout"_s, u"packed"_s, u"-o"_s, folder.filePath(u"s.png"_s),
                            u"--json"_s, folder.filePath(u"s.json"_s)}
                    + words,
                out, out);
            quorbel::threadCountSetting() = 0;
            out.flush();
            return std::pair(status, printed.replace(folder.filePath(u"s"_s), u"<s>"_s));
        };
        const auto [status, printed] = run(u"one"_s, false, 1);
        QCOMPARE(status, 0);
        if (!said.isEmpty())
            QCOMPARE(printed, said);
        QCOMPARE(run(u"four"_s, true, 4).second, printed);
        QStringList outputs = entries(work.filePath(u"one"_s));
        outputs.removeOne(u"f"_s);
        for (const QString &file : std::as_const(outputs))
            QCOMPARE(readAll(work.filePath(u"four/"_s + file)),
                     readAll(work.filePath(u"one/"_s + file)));

        qsizetype named = 0;
        for (const QString &file : std::as_const(outputs)) {
            if (!file.endsWith(u".json"_s))
                continue;
            const QJsonObject json =
                QJsonDocument::fromJson(readAll(work.filePath(u"one/"_s + file))).object();
            const QImage sheet(work.filePath(u"one/"_s + json[u"meta"_s][u"image"_s].toString()));
            const QJsonObject entries = json[u"frames"_s].toObject();
            named += entries.size();
            QList<QRect> footprints;
            for (const QString &name : entries.keys()) {
                const int i = name.mid(1, 2).toInt();
                const auto rect = [&](const QString &key) {
                    const QJsonObject r = entries[name][key].toObject();
                    return QRect(r[u"x"_s].toInt(), r[u"y"_s].toInt(), r[u"w"_s].toInt(),
                                 r[u"h"_s].toInt());
                };
                const QRect placed = rect(u"frame"_s);
                const QRect ring = placed.adjusted(-extrude, -extrude, extrude, extrude);
                QCOMPARE(rect(u"spriteSourceSize"_s), kept.at(i));
                QCOMPARE(entries[name][u"sourceSize"_s][u"w"_s].toInt(), 40);
                if (!footprints.contains(ring))
                    footprints.append(ring);
                for (int y = ring.top(); y <= ring.bottom(); ++y) {
                    for (int x = ring.left(); x <= ring.right(); ++x) {
                        const QPoint inside(std::clamp(x, placed.left(), placed.right()),
                                            std::clamp(y, placed.top(), placed.bottom()));
                        QCOMPARE(sheet.pixel(x, y),
                                 pixel(i, inside - placed.topLeft() + kept.at(i).topLeft()));
                    }
                }
            }
            for (const QRect &a : std::as_const(footprints)) {
                QVERIFY(sheet.rect().adjusted(padding, padding, -padding, -padding).contains(a));
                for (const QRect &b : std::as_const(footprints))
                    QVERIFY(a == b
                            || !a.adjusted(-padding, -padding, padding, padding).intersects(b));
            }
            QVERIFY(printed.contains(u"packed in %1 rectangle"_s.arg(footprints.size())));
        }
        QCOMPARE(named, specs.size());
    }

    void jsonTells_data()
    {
        // The real program on walk frames of 16 x 16, but for WALK02.bmp of 20 x 20, cut to its
        // cell, and walk03.bmp of 12 x 16, run in a folder that holds them in f/, img/ and data/;
        // then a line each: a JSON file, a path in it ("/" between keys and list places) and the
        // compact JSON there.
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("frames of other sizes, the sheet's path")
            << u"--columns 2 -o img/s.png --json data/s.json"_s
            << uR"(data/s.json frames/WALK02.bmp {"frame":{"h":16,"w":16,"x":16,"y":0},"rotated":false,"sourceSize":{"h":20,"w":20},"spriteSourceSize":{"h":16,"w":16,"x":0,"y":0},"trimmed":true}
data/s.json frames/walk03.bmp {"frame":{"h":16,"w":12,"x":0,"y":16},"rotated":false,"sourceSize":{"h":16,"w":12},"spriteSourceSize":{"h":16,"w":12,"x":0,"y":0},"trimmed":false}
data/s.json animations {"f":["Walk01.bmp","WALK02.bmp","walk03.bmp","Walk04.bmp"]}
data/s.json meta/image "../img/s.png")"_s;
        QTest::newRow("-o - with --image")
            << u"--columns 2 --png -o - --json data/s.json --image sprites/walk.png"_s
            << uR"(data/s.json meta/image "sprites/walk.png")"_s;
        QTest::newRow("pages") << u"--columns 2 --max-height 16 -o img/s.png --json data/s.json"_s
                               << uR"(data/s-1.json meta/related_multi_packs ["s-2.json"]
data/s-2.json meta/related_multi_packs ["s-1.json"]
data/s-2.json meta/image "../img/s-2.png"
data/s-2.json animations/f ["walk03.bmp","Walk04.bmp"])"_s;
        QTest::newRow("array") << u"--columns 2 -o s.png --json s.json --data array"_s
                               << uR"(s.json frames/1/filename "WALK02.bmp"
s.json frames/3/frame {"h":16,"w":16,"x":16,"y":16}
s.json meta/image "s.png")"_s;
        QTest::newRow("multi-atlas")
            << u"--columns 2 --max-height 16 -o img/s.png --json data/s.json --data multiatlas"_s
            << uR"(data/s.json textures/1/image "../img/s-2.png"
data/s.json textures/1/frames/0/filename "walk03.bmp"
data/s.json textures/1/size {"h":16,"w":32}
data/s.json animations/f ["Walk01.bmp","WALK02.bmp","walk03.bmp","Walk04.bmp"])"_s;
    }

    void jsonTells()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, expected);
        QTemporaryDir work;
        QVERIFY(writeFrames(work.filePath(u"f"_s), walkNames(4),
                            {{16, 16}, {20, 20}, {12, 16}, {16, 16}}));
        QVERIFY(QDir(work.path()).mkpath(u"img"_s) && QDir(work.path()).mkpath(u"data"_s));
        QProcess program;
        program.setWorkingDirectory(work.path());
        program.start(QStringLiteral(QUORBEL_SHEET_PROGRAM),
                      QStringList{u"f"_s} + arguments.split(u' '));
        QVERIFY(program.waitForFinished());
        QCOMPARE(program.exitCode(), 0);
        for (const QString &line : expected.split(u'\n')) {
            const QStringList parts = line.split(u' ');
            QJsonValue at = QJsonDocument::fromJson(readAll(work.filePath(parts[0]))).object();
            for (const QString &key : parts[1].split(u'/'))
                at = at.isArray() ? at.toArray().at(key.toInt()) : at.toObject().value(key);
            const QByteArray text = QJsonDocument(QJsonArray{at}).toJson(QJsonDocument::Compact);
            QCOMPARE(QString::fromUtf8(text.mid(1, text.size() - 2)), parts[2]);
        }
    }

    // With -o - the program's sheet is what it writes to standard output.
    void theRealProgram()
    {
        QTemporaryDir work;
        QVERIFY(writeFrames(work.filePath(u"f"_s), walkNames(4)));
        QProcess process;
        process.start(QStringLiteral(QUORBEL_SHEET_PROGRAM),
                      {work.filePath(u"f"_s), u"--rows"_s, u"2"_s, u"--png"_s, u"-o"_s, u"-"_s});
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitCode(), 0);
        const QImage png = QImage::fromData(process.readAllStandardOutput(), "png");
        QCOMPARE(imageDifference(png, paintFrames(4, {16, 16}, 2, 2)), QString());
        QCOMPARE(entries(work.path()), QStringList{u"f"_s});
        // A PNG cut short: libpng's complaint stays its own business, the user reads ours.
        QVERIFY(QImage(4, 4, QImage::Format_ARGB32).save(work.filePath(u"p.png"_s), "png"));
        QVERIFY(
            writeFile(work.filePath(u"f/a.png"_s), readAll(work.filePath(u"p.png"_s)).left(60)));
        process.start(
            QStringLiteral(QUORBEL_SHEET_PROGRAM),
            {work.filePath(u"f"_s), u"--frames"_s, u"png"_s, u"--rows"_s, u"1"_s, u"--check"_s});
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.readAllStandardError(),
                 "quorbel-sheet: a.png: Invalid picture (error 481)\n");
    }
};

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
