// The "Input" and "Final" windows: where they open beside the Navigator, and how they fit
// themselves to every picture they are given.

#include "navigator/frmdynamic.h"
#include "platform/form.h"
#include "platform/picturebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/bitmaps.h"
#include "support/folderwalk.h"
#include "support/testapp.h"

#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

using namespace folderwalk;

namespace {

QString canonical(const QTemporaryDir &dir)
{
    return QFileInfo(dir.path()).canonicalFilePath();
}

// Starts with the Navigator in folder, which is also the stored folder: no folder change runs.
void startIn(TestApp &app, const QString &folder)
{
    app.writeIni(folder.toLocal8Bit() + "\r\n");
    app.start(folder);
}

// A picture whose every pixel differs from its neighbours, so a shifted, cut or swapped copy
// shows; seed makes two pictures of one size differ.
QImage testPicture(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) & 0xff, (y * 11 + seed * 3) & 0xff,
                                      (x * y + seed * 5) & 0xff));
    }
    return image;
}

struct Preview
{
    platform::Form *form;
    platform::PictureBox *box;
};

Preview preview(const QString &which)
{
    if (which == QLatin1String("Input"))
        return {&frmPicWork::instance(), frmPicWork::instance().picWork};
    return {&frmPicFinal::instance(), frmPicFinal::instance().picFinal};
}

} // namespace

class PreviewTest : public QObject
{
    Q_OBJECT

private slots:
    void windowFitsItsPicture_data();
    void windowFitsItsPicture();
    void emptiedWindowKeepsOnlyTheAllowances_data();
    void emptiedWindowKeepsOnlyTheAllowances();
    void samePictureSizeStillRefits_data();
    void samePictureSizeStillRefits();
    void windowsOpenBesideTheNavigator_data();
    void windowsOpenBesideTheNavigator();
    void movingTheNavigatorLeavesThePreviewsInPlace();
};

void PreviewTest::windowFitsItsPicture_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("pictureWidth");
    QTest::addColumn<int>("pictureHeight");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");

    QTest::newRow("32 x 32 frame in Input") << QStringLiteral("Input") << 32 << 32 << 580.0 << 880.0;
    QTest::newRow("256 x 32 sheet in Final") << QStringLiteral("Final") << 256 << 32 << 3940.0 << 880.0;
    QTest::newRow("20 x 12 frame in Input") << QStringLiteral("Input") << 20 << 12 << 400.0 << 580.0;
    QTest::newRow("12 x 77 sheet in Final") << QStringLiteral("Final") << 12 << 77 << 280.0 << 1555.0;
    QTest::newRow("1 x 1 frame in Input") << QStringLiteral("Input") << 1 << 1 << 115.0 << 415.0;
}

void PreviewTest::windowFitsItsPicture()
{
    QFETCH(QString, window);
    QFETCH(int, pictureWidth);
    QFETCH(int, pictureHeight);
    QFETCH(double, width);
    QFETCH(double, height);

    TestApp app;
    QTemporaryDir data;
    startIn(app, canonical(data));
    const Preview shown = preview(window);
    const QImage picture = testPicture(pictureWidth, pictureHeight, 1);

    shown.box->setPicture(picture);

    QCOMPARE(shown.form->width(), width);
    QCOMPARE(shown.form->height(), height);
    // The outer frame on screen has that size too, at 15 twips to the pixel.
    QCOMPARE(shown.form->window()->width(), qRound(width / 15));
    QCOMPARE(shown.form->window()->height(), qRound(height / 15));
    QCOMPARE(shown.box->pos(), QPoint(0, 0));
    QCOMPARE(shown.box->scaleWidth(), float(pictureWidth));
    QCOMPARE(shown.box->scaleHeight(), float(pictureHeight));
    QCOMPARE(shown.box->image().convertToFormat(QImage::Format_RGB32), picture);
    QCOMPARE(app.messages, QStringList());
}

void PreviewTest::emptiedWindowKeepsOnlyTheAllowances_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("Input") << QStringLiteral("Input");
    QTest::newRow("Final") << QStringLiteral("Final");
}

void PreviewTest::emptiedWindowKeepsOnlyTheAllowances()
{
    QFETCH(QString, window);

    TestApp app;
    QTemporaryDir data;
    startIn(app, canonical(data));
    const Preview shown = preview(window);
    shown.box->setPicture(testPicture(40, 30, 2));
    QCOMPARE(shown.form->width(), 700.0);
    QCOMPARE(shown.form->height(), 850.0);

    shown.box->setPicture(QImage());

    QCOMPARE(shown.form->width(), 100.0);
    QCOMPARE(shown.form->height(), 400.0);
    QVERIFY(shown.box->picture().isNull());
    QCOMPARE(shown.box->scaleWidth(), 0.0f);
    QCOMPARE(shown.box->scaleHeight(), 0.0f);
    QCOMPARE(app.messages, QStringList());
}

void PreviewTest::samePictureSizeStillRefits_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("Input") << QStringLiteral("Input");
    QTest::newRow("Final") << QStringLiteral("Final");
}

void PreviewTest::samePictureSizeStillRefits()
{
    QFETCH(QString, window);

    TestApp app;
    QTemporaryDir data;
    startIn(app, canonical(data));
    const Preview shown = preview(window);
    shown.box->setPicture(testPicture(32, 32, 3));
    QCOMPARE(shown.form->width(), 580.0);
    QCOMPARE(shown.form->height(), 880.0);
    // Sized by other means in between: only a handler that runs again can bring it back.
    shown.form->setWidth(2000);
    shown.form->setHeight(1500);

    const QImage second = testPicture(32, 32, 4);
    shown.box->setPicture(second);

    QCOMPARE(shown.form->width(), 580.0);
    QCOMPARE(shown.form->height(), 880.0);
    QCOMPARE(shown.box->image().convertToFormat(QImage::Format_RGB32), second);

    // And with the size already right it stays right.
    shown.box->setPicture(testPicture(32, 32, 5));
    QCOMPARE(shown.form->width(), 580.0);
    QCOMPARE(shown.form->height(), 880.0);
}

void PreviewTest::windowsOpenBesideTheNavigator_data()
{
    QTest::addColumn<bool>("startFolderHoldsFrames");
    // Without frames the windows load when the Navigator shows them; with frames the folder
    // change inside the Navigator's load sets the Input picture and so loads it earlier.
    QTest::newRow("empty start folder") << false;
    QTest::newRow("start folder of frames") << true;
}

void PreviewTest::windowsOpenBesideTheNavigator()
{
    QFETCH(bool, startFolderHoldsFrames);

    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString frames = frameFolder(root, QStringLiteral("frames"), 3, 32, 32);
    app.writeIni((startFolderHoldsFrames ? frames : root).toLocal8Bit() + "\r\n");
    app.start(root);

    const frmDynamic &nav = frmDynamic::instance();
    const frmPicWork &input = frmPicWork::instance();
    const frmPicFinal &finalWindow = frmPicFinal::instance();
    // Outer sizes, frame included: wider and higher than the Navigator's designed client area.
    QVERIFY2(nav.width() > 8895 && nav.height() > 2010,
             qPrintable(QStringLiteral("Navigator %1 x %2").arg(nav.width()).arg(nav.height())));
    QCOMPARE(input.left(), nav.width());
    QCOMPARE(input.top(), 0.0);
    QCOMPARE(finalWindow.left(), 0.0);
    QCOMPARE(finalWindow.top(), nav.height());
    // On screen: Input touches the Navigator's right edge, Final its bottom edge.
    QCOMPARE(input.window()->pos(), QPoint(nav.window()->geometry().right() + 1, 0));
    QCOMPARE(finalWindow.window()->pos(), QPoint(0, nav.window()->geometry().bottom() + 1));
    QVERIFY(input.window()->isVisible());
    QVERIFY(finalWindow.window()->isVisible());

    if (startFolderHoldsFrames) {
        QCOMPARE(frameMismatch(input.picWork->image(), 1, 32, 32), QString());
        QCOMPARE(input.width(), 580.0);
        QCOMPARE(input.height(), 880.0);
    }
    QCOMPARE(app.messages, QStringList());
}

void PreviewTest::movingTheNavigatorLeavesThePreviewsInPlace()
{
    TestApp app;
    QTemporaryDir data;
    startIn(app, canonical(data));
    frmDynamic &nav = frmDynamic::instance();
    const frmPicWork &input = frmPicWork::instance();
    const frmPicFinal &finalWindow = frmPicFinal::instance();
    const double inputLeft = input.left();
    const double finalTop = finalWindow.top();
    const QPoint inputAt = input.window()->pos();
    const QPoint finalAt = finalWindow.window()->pos();

    // Dragged by the user, then placed by code.
    nav.window()->move(40, 30);
    QCOMPARE(nav.left(), 600.0);
    nav.setLeft(3000);
    nav.setTop(1500);
    QCOMPARE(nav.window()->pos(), QPoint(200, 100));

    QCOMPARE(input.left(), inputLeft);
    QCOMPARE(input.top(), 0.0);
    QCOMPARE(finalWindow.left(), 0.0);
    QCOMPARE(finalWindow.top(), finalTop);
    QCOMPARE(input.window()->pos(), inputAt);
    QCOMPARE(finalWindow.window()->pos(), finalAt);

    // A new picture refits a window but does not place it again.
    frmPicWork::instance().picWork->setPicture(testPicture(10, 10, 6));
    frmPicFinal::instance().picFinal->setPicture(testPicture(10, 10, 7));
    QCOMPARE(input.left(), inputLeft);
    QCOMPARE(finalWindow.top(), finalTop);
}

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
