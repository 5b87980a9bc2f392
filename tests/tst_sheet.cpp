// Draw, Save and quorbel-sheet on the same folders: the sheet an independent painter makes of the
// frames, shown, saved byte for byte and written by the command alike; Draws that cannot make a
// whole sheet; the name Save proposes.

#include "batch/sheetcommand.h"
#include "platform/picturebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/bmpkinds.h"
#include "support/faults.h"
#include "support/frames.h"
#include "support/testapp.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace testframes;

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
        row("10 in 6 rows: the sixth row black", 10, u"6"_s, false, 2);
        row("8 in 11 rows: one a row", 8, u"11"_s, false, 1);
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
        QCOMPARE(nav.lblFramesPerRow->text(), QString::number(perRow));
        QCOMPARE(nav.lblFinalSize->text(), u"%1x%2"_s.arg(expected.width()).arg(expected.height()));
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
        QCOMPARE(frmPicWork::instance().width(), 15.0 * last.size.width() + 100);

        const QString saved = out.filePath(u"sheet.bmp"_s);
        QCOMPARE(imageDifference(steps::save(app, saved), expected), QString());
        QCOMPARE(app.dialogFileName, start.filePath(order.first()));
        const QByteArray bytes = readAll(saved);
        QCOMPARE(bytes.left(54).toHex(' '), plainBitmap(expected).left(54).toHex(' '));
        QCOMPARE(bytes, plainBitmap(expected));

        // quorbel-sheet writes the same bytes.
        const QString batch = out.filePath(u"batch.bmp"_s);
        QStringList arguments{folder.path(), u"--rows"_s, rows, u"-o"_s, batch};
        if (invert)
            arguments << u"--invert"_s;
        QCOMPARE(sheetCommand(arguments), 0);
        QCOMPARE(readAll(batch), bytes);
        QCOMPARE(entries(out.path()), (QStringList{u"batch.bmp"_s, u"sheet.bmp"_s}));

        // Drawing again with nothing changed rebuilds the same sheet, and a window sized otherwise
        // meanwhile fits it again.
        frmPicFinal::instance().setWidth(2000);
        nav.cmdDraw->click();
        QCOMPARE(final.width(), expected.width() * 15 + 100.0);
        QCOMPARE(imageDifference(nav.picFinal->image(), expected), QString());
        QCOMPARE(app.messages, shortfall.isEmpty() ? QStringList() : QStringList{shortfall});
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

        const QString unable = u"Unable to Draw, check yer files."_s;
        const QSize cell(16, 16);
        // 0.5 frames per row or fewer round to none: a sheet 0 pixels wide, which Save could not
        // write.
        QTest::newRow("4 frames, entry \" 8\" of an earlier folder")
            << 8 << 4 << cell << u" 8"_s << QString()
            << u"No frame fits the grid: the sheet would be 0x128 pixels."_s << -1;
        QTest::newRow("3 frames, design entry 23")
            << 0 << 3 << cell << u"23"_s << QString()
            << u"No frame fits the grid: the sheet would be 0x368 pixels."_s << -1;
        // The list then holds an empty name, sorted first: the very first load fails.
        QTest::newRow("frame deleted after the count")
            << 0 << 4 << cell << u"2"_s << u"delete"_s << unable << 0;
        QTest::newRow("frame that is no bitmap")
            << 0 << 4 << cell << u"2"_s << u"garble"_s << unable << 2;
        QTest::newRow("frame of zero bytes")
            << 0 << 4 << cell << u"2"_s << u"empty"_s << unable << 2;
        // The sheet is made before any frame is read.
        QTest::newRow("no memory for the sheet")
            << 0 << 16 << QSize(2048, 1024) << u"2"_s << u"memory"_s
            << u"Not Enough Ram to Create Final"_s << -1;
        // The 82nd frame lands at x = 32400; the next step would put x at 32800.
        QTest::newRow("sheet beyond the coordinate limit")
            << 0 << 100 << QSize(400, 1) << u"1"_s << QString() << unable << 82;
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
        for (const QString &name :
             names) { // all black and a few bytes each where memory runs short
            QVERIFY(breakage != u"memory"_s
                    || writeFile(folder.filePath(name),
                                 bmpkinds::rle(frameSize.width(), frameSize.height(), 8, "0001")));
        }
        frmDynamic &nav = app.startIn(start.path());
        nav.Dir1->setPath(folder.path());
        // Room for a frame of 6 MB, not for the sheet of 96 MB.
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
                QVERIFY(writeFile(broken, breakage == u"garble"_s ? "Not a picture." : ""));
            nav.cmdDraw->click();
        }

        QCOMPARE(app.takeMessages(), QStringList{message});
        QVERIFY(!nav.cmdSave->isEnabled());
        QVERIFY(frmPicWork::instance().picWork->picture().isNull());
        QVERIFY(frmPicFinal::instance().picFinal->picture().isNull());
        if (painted >= 0) { // what was painted before the failure stays on the Navigator's sheet
            QList<Frame> done;
            for (int i = 0; i < painted; ++i)
                done.append({frameSize, framePixels(i)});
            const int perRow = nav.lblFramesPerRow->text().toInt();
            QCOMPARE(imageDifference(nav.picFinal->image(),
                                     paintSheet(done, frameSize, perRow, rows.toInt())),
                     QString());
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
            QList<Frame> all;
            for (int i = 0; i < frames; ++i)
                all.append({frameSize, framePixels(i)});
            QCOMPARE(imageDifference(QImage(out.filePath(u"wide.bmp"_s), "BMP"),
                                     paintSheet(all, frameSize, perRow, rows.toInt())),
                     QString());
        }
    }
};

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
