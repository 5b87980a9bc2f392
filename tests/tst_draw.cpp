#include "navigator/frmdynamic.h"
#include "platform/picturebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/bitmaps.h"
#include "support/navigatorsteps.h"
#include "support/testapp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using testbitmaps::frameColour;

namespace {

constexpr QRgb black = 0xff000000u;

// The eight frames of a walk cycle; frame i is named so that it sorts at place i, whatever the
// case of its name.
QStringList walkNames()
{
    return {QStringLiteral("Walk01.bmp"), QStringLiteral("WALK02.bmp"), QStringLiteral("walk03.bmp"),
            QStringLiteral("walk04.bmp"), QStringLiteral("walk05.bmp"), QStringLiteral("Walk06.bmp"),
            QStringLiteral("walk07.bmp"), QStringLiteral("walk08.bmp")};
}

// Writes frame i under names[i], in a scrambled order, so neither creation nor the folder's own
// order hands the names over sorted.
bool writeScrambled(const QString &folder, const QStringList &names, int width, int height)
{
    // The odd frames from the last down, then the even ones from the first up.
    QList<qsizetype> order;
    for (qsizetype i = names.size() - 1; i >= 0; --i) {
        if (i % 2 == 1)
            order.append(i);
    }
    for (qsizetype i = 0; i < names.size(); i += 2)
        order.append(i);
    for (qsizetype i : std::as_const(order)) {
        if (!testbitmaps::writeFile(QDir(folder).filePath(names.at(i)),
                                    testbitmaps::numberedFrame(int(i), width, height)))
            return false;
    }
    return true;
}

QStringList numberedNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QStringLiteral("f%1.bmp").arg(i, 2, 10, QLatin1Char('0')));
    return names;
}

// The sheet a grid gives: cell n holds frame order[n] while n < painted, black after that.
std::function<QRgb(int, int)> gridColours(const QList<int> &order, int perRow, int cellWidth,
                                           int cellHeight, int painted)
{
    return [=](int x, int y) {
        const int cell = (y / cellHeight) * perRow + x / cellWidth;
        if (cell >= painted)
            return black;
        return frameColour(order.at(cell), x % cellWidth, y % cellHeight);
    };
}

QImage saveSheet(TestApp &app, const QString &path)
{
    app.saveAnswer = path;
    steps::navigator().cmdSave->click();
    return testbitmaps::readBmp24(steps::readAll(path));
}

bool hasNoPixels(const QImage &image)
{
    return image.isNull() || image.width() == 0 || image.height() == 0;
}

} // namespace

// Draw: the frames of the folder painted into the sheet, cell by cell in name order, the
// previews handed the results, and Save offered only for a sheet painted whole.
class TestDraw : public QObject
{
    Q_OBJECT

private slots:
    void typicalRun_data();
    void typicalRun();
    void paintsGrid_data();
    void paintsGrid();
    void noFramePerRowGivesEmptySheet_data();
    void noFramePerRowGivesEmptySheet();
    void unreadableFrameDisablesSave_data();
    void unreadableFrameDisablesSave();
    void notEnoughMemoryForSheet();
    void framesOfOtherSizesAndDepths();
    void sheetBeyondCoordinateLimitStops();
};

void TestDraw::typicalRun_data()
{
    QTest::addColumn<bool>("invert");
    QTest::newRow("ascending") << false;
    QTest::newRow("Invert Order") << true;
}

void TestDraw::typicalRun()
{
    QFETCH(bool, invert);
    TestApp app;
    QTemporaryDir start, frames, out;
    QVERIFY(writeScrambled(frames.path(), walkNames(), 32, 32));
    steps::startIn(app, start.path());
    frmDynamic &nav = steps::navigator();
    steps::openFolder(frames.path());

    QCOMPARE(nav.lblXSource->text(), QStringLiteral("32"));
    QCOMPARE(nav.lblYSource->text(), QStringLiteral("32"));
    QCOMPARE(nav.lblNumOfFrames->text(), QStringLiteral("8"));
    QCOMPARE(nav.lblFramesPerRow->text(), QStringLiteral("8"));
    QCOMPARE(nav.lblFinalSize->text(), QStringLiteral("256x32"));
    steps::pickRows(QStringLiteral("2"));
    QCOMPARE(nav.lblFramesPerRow->text(), QStringLiteral("4"));
    QCOMPARE(nav.lblFinalSize->text(), QStringLiteral("128x64"));
    QVERIFY(nav.cmdDraw->isEnabled());
    QVERIFY(!nav.cmdSave->isEnabled());

    nav.chkInvert->setChecked(invert);
    nav.cmdDraw->click();

    QCOMPARE(app.messages, QStringList());
    QVERIFY(nav.cmdSave->isEnabled());
    const QList<int> order = invert ? QList<int>{7, 6, 5, 4, 3, 2, 1, 0}
                                    : QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
    QStringList names;
    for (int frame : order)
        names.append(walkNames().at(frame));
    QCOMPARE(nav.FileNames, names);

    const auto sheet = gridColours(order, 4, 32, 32, 8);
    const QString inNavigator = steps::imageDifference(nav.picFinal->image(), {128, 64}, sheet);
    QVERIFY2(inNavigator.isEmpty(), qPrintable(inNavigator));

    frmPicFinal &final = frmPicFinal::instance();
    const QString shown = steps::imageDifference(final.picFinal->picture(), {128, 64}, sheet);
    QVERIFY2(shown.isEmpty(), qPrintable(shown));
    QCOMPARE(final.width(), 15.0 * 128 + 100);
    QCOMPARE(final.height(), 15.0 * 64 + 400);

    // The "Input" window shows the frame painted last.
    const int last = order.last();
    frmPicWork &input = frmPicWork::instance();
    const QString lastFrame = steps::imageDifference(
        input.picWork->picture(), {32, 32}, [last](int x, int y) { return frameColour(last, x, y); });
    QVERIFY2(lastFrame.isEmpty(), qPrintable(lastFrame));
    QCOMPARE(input.width(), 580.0);
    QCOMPARE(input.height(), 880.0);

    const QImage saved = saveSheet(app, QDir(out.path()).filePath(QStringLiteral("sheet.bmp")));
    const QString onDisk = steps::imageDifference(saved, {128, 64}, sheet);
    QVERIFY2(onDisk.isEmpty(), qPrintable(onDisk));
    QCOMPARE(app.messages, QStringList());

    // Drawing again with nothing changed rebuilds the same sheet.
    nav.cmdDraw->click();
    QCOMPARE(app.messages, QStringList());
    const QString again = steps::imageDifference(nav.picFinal->image(), {128, 64}, sheet);
    QVERIFY2(again.isEmpty(), qPrintable(again));
}

void TestDraw::paintsGrid_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("perRow");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("painted");

    QTest::newRow("10 frames in 4 rows: the last two names left out") << 10 << QStringLiteral("4") << 2 << 4 << 8;
    QTest::newRow("10 frames in 3 rows: the last name left out") << 10 << QStringLiteral("3") << 3 << 3 << 9;
    QTest::newRow("5 frames in 2 rows: the fifth left out") << 5 << QStringLiteral("2") << 2 << 2 << 4;
    QTest::newRow("7 frames in 2 rows: the eighth cell stays black") << 7 << QStringLiteral("2") << 4 << 2 << 7;
    QTest::newRow("10 frames in 6 rows: the sixth row stays black") << 10 << QStringLiteral("6") << 2 << 6 << 10;
    QTest::newRow("8 frames in 11 rows: one per row, three black rows") << 8 << QStringLiteral("11") << 1 << 11 << 8;
}

// More cells than frames is no failure: every frame is painted and the rest stays black.
void TestDraw::paintsGrid()
{
    QFETCH(int, frames);
    QFETCH(QString, rows);
    QFETCH(int, perRow);
    QFETCH(int, rowCount);
    QFETCH(int, painted);

    TestApp app;
    QTemporaryDir start, folder, out;
    const QStringList names = numberedNames(frames);
    QVERIFY(writeScrambled(folder.path(), names, 16, 16));
    steps::startIn(app, start.path());
    frmDynamic &nav = steps::navigator();
    steps::openFolder(folder.path());
    steps::pickRows(rows);
    const QSize size(perRow * 16, rowCount * 16);
    QCOMPARE(nav.lblFramesPerRow->text(), QString::number(perRow));
    QCOMPARE(nav.lblFinalSize->text(), QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));

    nav.cmdDraw->click();

    QCOMPARE(app.messages, QStringList());
    QVERIFY(nav.cmdSave->isEnabled());
    QCOMPARE(nav.FileNames, names);
    QList<int> order;
    for (int i = 0; i < frames; ++i)
        order.append(i);
    const auto sheet = gridColours(order, perRow, 16, 16, painted);
    const QString inNavigator = steps::imageDifference(nav.picFinal->image(), size, sheet);
    QVERIFY2(inNavigator.isEmpty(), qPrintable(inNavigator));

    // The previews were handed the sheet and the frame painted last.
    frmPicFinal &final = frmPicFinal::instance();
    const QString shown = steps::imageDifference(final.picFinal->picture(), size, sheet);
    QVERIFY2(shown.isEmpty(), qPrintable(shown));
    QCOMPARE(final.width(), 15.0 * size.width() + 100);
    QCOMPARE(final.height(), 15.0 * size.height() + 400);
    const int last = painted - 1;
    const QString lastFrame = steps::imageDifference(
        frmPicWork::instance().picWork->picture(), {16, 16},
        [last](int x, int y) { return frameColour(last, x, y); });
    QVERIFY2(lastFrame.isEmpty(), qPrintable(lastFrame));

    const QImage saved = saveSheet(app, QDir(out.path()).filePath(QStringLiteral("grid.bmp")));
    const QString onDisk = steps::imageDifference(saved, size, sheet);
    QVERIFY2(onDisk.isEmpty(), qPrintable(onDisk));
    QCOMPARE(app.messages, QStringList());
}

void TestDraw::noFramePerRowGivesEmptySheet_data()
{
    QTest::addColumn<int>("earlierFrames");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("finalSize");
    QTest::newRow("4 frames, entry \" 8\" from an earlier folder")
        << 8 << 4 << QStringLiteral(" 8") << QStringLiteral("0x128");
    QTest::newRow("3 frames, design entry 23") << 0 << 3 << QStringLiteral("23") << QStringLiteral("0x368");
}

// 0.5 frames per row or fewer rounds to none: a sheet 0 pixels wide, and a Draw that completes.
void TestDraw::noFramePerRowGivesEmptySheet()
{
    QFETCH(int, earlierFrames);
    QFETCH(int, frames);
    QFETCH(QString, rows);
    QFETCH(QString, finalSize);

    TestApp app;
    QTemporaryDir start, earlier, folder;
    QVERIFY(writeScrambled(earlier.path(), numberedNames(earlierFrames), 16, 16));
    QVERIFY(writeScrambled(folder.path(), numberedNames(frames), 16, 16));
    steps::startIn(app, start.path());
    frmDynamic &nav = steps::navigator();
    if (earlierFrames > 0)
        steps::openFolder(earlier.path());
    steps::openFolder(folder.path());
    steps::pickRows(rows);
    QCOMPARE(nav.lblFramesPerRow->text(), QStringLiteral("0"));
    QCOMPARE(nav.lblFinalSize->text(), finalSize);

    nav.cmdDraw->click();

    QCOMPARE(app.messages, QStringList());
    QVERIFY(nav.cmdSave->isEnabled());
    QVERIFY(hasNoPixels(nav.picFinal->image()));
    QVERIFY(hasNoPixels(frmPicFinal::instance().picFinal->picture()));
    // No frame was painted, so the "Input" window has none to show.
    QVERIFY(hasNoPixels(frmPicWork::instance().picWork->picture()));
}

void TestDraw::unreadableFrameDisablesSave_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<int>("paintedBefore");
    // The list then holds an empty name, sorted first: the very first load fails.
    QTest::newRow("frame deleted after the folder was counted") << true << 0;
    QTest::newRow("frame that is no bitmap") << false << 2;
}

// A sheet that failed half way must never be offered for saving as if it were whole, even when
// an earlier Draw had enabled Save.
void TestDraw::unreadableFrameDisablesSave()
{
    QFETCH(bool, deleted);
    QFETCH(int, paintedBefore);

    TestApp app;
    QTemporaryDir start, folder;
    const QStringList names = numberedNames(4);
    QVERIFY(writeScrambled(folder.path(), names, 16, 16));
    steps::startIn(app, start.path());
    frmDynamic &nav = steps::navigator();
    steps::openFolder(folder.path());
    steps::pickRows(QStringLiteral("2"));
    nav.cmdDraw->click();
    QCOMPARE(app.messages, QStringList());
    QVERIFY(nav.cmdSave->isEnabled());

    const QString broken = QDir(folder.path()).filePath(names.at(2));
    if (deleted)
        QVERIFY(QFile::remove(broken));
    else
        QVERIFY(testbitmaps::writeFile(broken, "This is not a picture.\r\n"));
    nav.cmdDraw->click();

    QCOMPARE(app.messages, QStringList{QStringLiteral("Unable to Draw, check yer files.")});
    QVERIFY(!nav.cmdSave->isEnabled());
    QVERIFY(hasNoPixels(frmPicWork::instance().picWork->picture()));
    QVERIFY(hasNoPixels(frmPicFinal::instance().picFinal->picture()));
    // What was painted before the failure stays on the Navigator's sheet, the rest is black.
    const QString partial = steps::imageDifference(
        nav.picFinal->image(), {32, 32}, gridColours({0, 1, 2, 3}, 2, 16, 16, paintedBefore));
    QVERIFY2(partial.isEmpty(), qPrintable(partial));

    // The disabled button offers no save at all.
    nav.cmdSave->click();
    QCOMPARE(app.dialogsShown, 0);
    QCOMPARE(app.messages.size(), 1);
}

void TestDraw::notEnoughMemoryForSheet()
{
    TestApp app;
    QTemporaryDir start, folder;
    QVERIFY(writeScrambled(folder.path(), walkNames(), 32, 32));
    steps::startIn(app, start.path());
    frmDynamic &nav = steps::navigator();
    steps::openFolder(folder.path());
    steps::pickRows(QStringLiteral("2"));
    nav.cmdDraw->click();
    QVERIFY(nav.cmdSave->isEnabled());

    // Room for a frame, not for the 128 x 64 sheet.
    platform::setPictureMemoryLimit(32 * 32 * 4);
    nav.cmdDraw->click();
    platform::setPictureMemoryLimit(0);

    QCOMPARE(app.messages, QStringList{QStringLiteral("Not Enough Ram to Create Final")});
    QVERIFY(!nav.cmdSave->isEnabled());
    // The sheet is made before any frame is read: none was loaded or painted.
    QVERIFY(hasNoPixels(nav.picWork->picture()));
    QVERIFY(hasNoPixels(nav.picFinal->image()));
    QVERIFY(hasNoPixels(frmPicWork::instance().picWork->picture()));
    QVERIFY(hasNoPixels(frmPicFinal::instance().picFinal->picture()));
}

// Each frame is painted at its own size at its cell's corner: a larger one spills into the
// next cells until later frames cover it and is cut at the sheet's edge, a smaller one leaves
// the rest of its cell black, and a 32-bit frame's alpha byte plays no part.
void TestDraw::framesOfOtherSizesAndDepths()
{
    struct Frame
    {
        QString name;
        QSize size;
        std::function<QRgb(int, int)> colour;
        QByteArray bytes;
    };
    const QList<QRgb> bPalette{qRgb(200, 10, 10), qRgb(10, 200, 10), qRgb(10, 10, 200), qRgb(250, 250, 5)};
    const QList<QRgb> fPalette{qRgb(255, 128, 0), qRgb(0, 128, 255), qRgb(128, 0, 255)};
    const auto bIndex = [](int x, int y) { return quint8((x / 8 + y / 8) % 4); };
    const auto fIndex = [](int x, int y) { return quint8((x + y) % 3); };
    const auto eColour = [](int x, int y) { return qRgb(40 + x * 8, 200, 100 + y * 8); };
    const auto numbered = [](int frame) { return [frame](int x, int y) { return frameColour(frame, x, y); }; };

    const QList<Frame> frames{
        {QStringLiteral("a.bmp"), {32, 32}, numbered(0), testbitmaps::numberedFrame(0, 32, 32)},
        {QStringLiteral("b.bmp"), {48, 48}, [&](int x, int y) { return bPalette.at(bIndex(x, y)); },
         testbitmaps::bmp8(48, 48, bPalette, bIndex)},
        {QStringLiteral("c.bmp"), {32, 32}, numbered(2), testbitmaps::numberedFrame(2, 32, 32)},
        {QStringLiteral("d.bmp"), {32, 32}, numbered(3), testbitmaps::numberedFrame(3, 32, 32)},
        {QStringLiteral("e.bmp"), {16, 16}, eColour, testbitmaps::bmp32(16, 16, eColour, 0)},
        {QStringLiteral("f.bmp"), {48, 48}, [&](int x, int y) { return fPalette.at(fIndex(x, y)); },
         testbitmaps::bmp8(48, 48, fPalette, fIndex)},
    };

    TestApp app;
    QTemporaryDir start, folder, out;
    for (const Frame &frame : frames)
        QVERIFY(testbitmaps::writeFile(QDir(folder.path()).filePath(frame.name), frame.bytes));
    steps::startIn(app, start.path());
    frmDynamic &nav = steps::navigator();
    steps::openFolder(folder.path());
    // The first frame gives the cell size.
    QCOMPARE(nav.lblXSource->text(), QStringLiteral("32"));
    QCOMPARE(nav.lblYSource->text(), QStringLiteral("32"));
    steps::pickRows(QStringLiteral("2"));
    QCOMPARE(nav.lblFinalSize->text(), QStringLiteral("96x64"));

    nav.cmdDraw->click();
    QCOMPARE(app.messages, QStringList());
    QVERIFY(nav.cmdSave->isEnabled());

    // The expected sheet, painted here pixel by pixel in the same order.
    QImage expected(96, 64, QImage::Format_RGB32);
    expected.fill(black);
    for (int n = 0; n < frames.size(); ++n) {
        const Frame &frame = frames.at(n);
        const QPoint corner((n % 3) * 32, (n / 3) * 32);
        for (int y = 0; y < frame.size.height(); ++y)
            for (int x = 0; x < frame.size.width(); ++x)
                if (expected.rect().contains(corner + QPoint(x, y)))
                    expected.setPixel(corner + QPoint(x, y), frame.colour(x, y));
    }
    const auto sheet = [&expected](int x, int y) { return expected.pixel(x, y); };
    const QImage saved = saveSheet(app, QDir(out.path()).filePath(QStringLiteral("mixed.bmp")));
    const QString onDisk = steps::imageDifference(saved, {96, 64}, sheet);
    QVERIFY2(onDisk.isEmpty(), qPrintable(onDisk));
    const QString inNavigator = steps::imageDifference(nav.picFinal->image(), {96, 64}, sheet);
    QVERIFY2(inNavigator.isEmpty(), qPrintable(inNavigator));

    // The same, spot by spot.
    QCOMPARE(saved.pixel(50, 40), bPalette.at(bIndex(18, 40))); // b spills into the row below
    QCOMPARE(saved.pixel(70, 10), frameColour(2, 6, 10));        // c covers b's spill to the right
    QCOMPARE(saved.pixel(35, 35), eColour(3, 3));                // alpha 0, painted opaque
    QCOMPARE(saved.pixel(40, 56), black);                        // the rest of e's cell
    QCOMPARE(saved.pixel(95, 63), fPalette.at(fIndex(31, 31)));  // f cut at both edges
    QCOMPARE(saved.pixel(70, 40), fPalette.at(fIndex(6, 8)));    // f covers b's spill

    // The "Input" window shows the last frame at its own size.
    frmPicWork &input = frmPicWork::instance();
    const QString lastFrame = steps::imageDifference(input.picWork->picture(), {48, 48}, frames.last().colour);
    QVERIFY2(lastFrame.isEmpty(), qPrintable(lastFrame));
    QCOMPARE(input.width(), 15.0 * 48 + 100);
}

// Frames 400 pixels wide, 100 in one row: the 82nd lands at x = 32400, the next step would put
// x at 32800, beyond what a coordinate holds, and the Draw stops there.
void TestDraw::sheetBeyondCoordinateLimitStops()
{
    TestApp app;
    QTemporaryDir start, folder;
    QStringList names;
    for (int i = 0; i < 100; ++i)
        names.append(QStringLiteral("s%1.bmp").arg(i, 3, 10, QLatin1Char('0')));
    QVERIFY(steps::writeFrames(folder.path(), names, 400, 1));
    steps::startIn(app, start.path());
    frmDynamic &nav = steps::navigator();
    steps::openFolder(folder.path());
    steps::pickRows(QStringLiteral("1"));
    QCOMPARE(nav.lblFinalSize->text(), QStringLiteral("40000x1"));

    nav.cmdDraw->click();

    QCOMPARE(app.messages, QStringList{QStringLiteral("Unable to Draw, check yer files.")});
    QVERIFY(!nav.cmdSave->isEnabled());
    QVERIFY(hasNoPixels(frmPicFinal::instance().picFinal->picture()));
    const QString painted = steps::imageDifference(nav.picFinal->image(), {40000, 1}, [](int x, int) {
        return x < 32800 ? frameColour(x / 400, x % 400, 0) : black;
    });
    QVERIFY2(painted.isEmpty(), qPrintable(painted));
}

QTEST_MAIN(TestDraw)
#include "tst_draw.moc"
