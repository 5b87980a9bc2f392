// Quorbel started as a desktop user starts it, on a real X server with a window manager: the
// keyboard works at once, with no click.

#include "preview/frmpicfinal.h"
#include "support/frames.h"
#include "support/testapp.h"

#include <QApplication>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace testframes;

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    // The stored folder holds frames, so Draw is the first enabled control in tab order: Enter and
    // Alt+D draw, Alt+S saves.
    void keyboardWorksFromTheStart()
    {
        const QString why = qEnvironmentVariable("QUORBEL_NO_DESKTOP", u"not run by desktop.sh"_s);
        if (QGuiApplication::platformName() != u"xcb"_s)
            QSKIP(qPrintable(u"no X server with a window manager: "_s + why));
        TestApp app;
        QTemporaryDir frames;
        QVERIFY(writeFrames(frames.path(), walkNames(3), {{8, 6}}));
        frmDynamic &nav = app.startIn(frames.path());
        QWindow *window = app.main().windowHandle();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(app.main().workspace()->activeSubWindow(), nav.window());
        QTRY_COMPARE(QApplication::focusWidget(), nav.cmdDraw);
        const quorbel::Picture &shown = frmPicFinal::instance().picFinal->picture();

        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(shown.size(), QSize(24, 6));
        frmPicFinal::instance().picFinal->setPicture({}); // so that the next Draw shows
        QTest::keyClick(window, Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(shown.size(), QSize(24, 6)); // the access key clicks animated
        app.saveAnswer = frames.filePath(u"sheet.bmp"_s);
        QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(app.dialogsShown, 1);
        QCOMPARE(imageDifference(shown, QImage(*app.saveAnswer, "BMP")), QString());
        QCOMPARE(app.messages, QStringList());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
