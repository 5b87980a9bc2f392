// The "Input" and "Final" windows: where they open beside the Navigator, and how they fit
// themselves to every picture they are given.

#include "platform/picturebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/folderwalk.h"

#include <QMdiSubWindow>
#include <QTest>

using namespace folderwalk;
using namespace Qt::StringLiterals;

namespace {

// Neighbouring pixels differ, so a shifted or cut copy shows; seed sets two pictures apart.
QImage testPicture(QSize size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x & 0xff, y & 0xff, seed));
    }
    return image;
}

} // namespace

class PreviewTest : public QObject
{
    Q_OBJECT

private slots:
    void windowFitsEveryPicture_data();
    void windowFitsEveryPicture();
    void windowsOpenBesideTheNavigatorAndStay_data();
    void windowsOpenBesideTheNavigatorAndStay();
};

void PreviewTest::windowFitsEveryPicture_data()
{
    QTest::addColumn<bool>("inFinal");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSizeF>("twips");
    QTest::newRow("32 x 32 frame in Input") << false << QSize(32, 32) << QSizeF(580, 880);
    QTest::newRow("256 x 32 sheet in Final") << true << QSize(256, 32) << QSizeF(3940, 880);
    QTest::newRow("20 x 12 frame in Input") << false << QSize(20, 12) << QSizeF(400, 580);
    QTest::newRow("12 x 77 sheet in Final") << true << QSize(12, 77) << QSizeF(280, 1555);
    QTest::newRow("1 x 1 frame in Input") << false << QSize(1, 1) << QSizeF(115, 415);
}

void PreviewTest::windowFitsEveryPicture()
{
    QFETCH(bool, inFinal);
    QFETCH(QSize, picture);
    QFETCH(QSizeF, twips);
    Session s;
    s.start();
    platform::Form &form = inFinal ? static_cast<platform::Form &>(frmPicFinal::instance())
                                   : frmPicWork::instance();
    platform::PictureBox &box =
        inFinal ? *frmPicFinal::instance().picFinal : *frmPicWork::instance().picWork;

    const QImage first = testPicture(picture, 1);
    box.setPicture(first);
    QCOMPARE(twipsSize(form), twips);
    QCOMPARE(form.window()->size(), (twips / 15).toSize()); // on screen, 15 twips a pixel
    QCOMPARE(box.pos(), QPoint(0, 0));
    QCOMPARE(QSizeF(box.scaleWidth(), box.scaleHeight()), QSizeF(picture));
    QCOMPARE(box.image().convertToFormat(QImage::Format_RGB32), first);

    // Sized by other means first: only a handler that runs again for a picture of the same
    // size brings the size back.
    form.setWidth(2000);
    form.setHeight(1500);
    const QImage second = testPicture(picture, 2);
    box.setPicture(second);
    QCOMPARE(twipsSize(form), twips);
    QCOMPARE(box.image().convertToFormat(QImage::Format_RGB32), second);

    box.setPicture(QImage()); // emptied, only the allowances for the frame are left
    QCOMPARE(twipsSize(form), QSizeF(100, 400));
    QCOMPARE(s.app.messages, QStringList());
}

void PreviewTest::windowsOpenBesideTheNavigatorAndStay_data()
{
    QTest::addColumn<bool>("startAmongFrames");
    // Without frames the windows load when the Navigator shows them; with frames the folder
    // change inside the Navigator's load sets the Input picture and so loads it earlier.
    QTest::newRow("empty start folder") << false;
    QTest::newRow("start folder of frames") << true;
}

void PreviewTest::windowsOpenBesideTheNavigatorAndStay()
{
    QFETCH(bool, startAmongFrames);
    Session s;
    const QString frames = frameFolder(s.root, u"frames"_s, 3, 32, 32);
    frmDynamic &nav = s.start(startAmongFrames ? frames : QString());
    const frmPicWork &input = frmPicWork::instance();
    const frmPicFinal &finalWindow = frmPicFinal::instance();

    // Outer sizes, frame included: larger than the Navigator's designed client area.
    QVERIFY(nav.width() > 8895 && nav.height() > 2010);
    QVERIFY(input.window()->isVisible() && finalWindow.window()->isVisible());
    if (startAmongFrames) {
        QCOMPARE(frameMismatch(input.picWork->image(), 1, 32, 32), QString());
        QCOMPARE(twipsSize(input), QSizeF(580, 880));
    }

    // Input touches the Navigator's right edge, Final its bottom edge, and they stay there when
    // the Navigator is moved by the user, then placed by code, and when a new picture refits
    // them.
    const QRect navAt = nav.window()->geometry();
    nav.window()->move(40, 30);
    QCOMPARE(nav.left(), 600.0);
    nav.setLeft(3000);
    nav.setTop(1500);
    QCOMPARE(nav.window()->pos(), QPoint(200, 100));
    input.picWork->setPicture(testPicture({10, 10}, 6));
    finalWindow.picFinal->setPicture(testPicture({10, 10}, 7));
    QCOMPARE(QPointF(input.left(), input.top()), QPointF(nav.width(), 0));
    QCOMPARE(QPointF(finalWindow.left(), finalWindow.top()), QPointF(0, nav.height()));
    QCOMPARE(input.window()->pos(), QPoint(navAt.right() + 1, 0));
    QCOMPARE(finalWindow.window()->pos(), QPoint(0, navAt.bottom() + 1));
    QCOMPARE(s.app.messages, QStringList());
}

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
