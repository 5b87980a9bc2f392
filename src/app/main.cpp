#include "app/frmmain.h"

#include "platform/eventguard.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorbel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorbel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORBEL_VERSION));

    frmMain mainWindow;
    platform::runEvent([&mainWindow] { mainWindow.MDIForm_Load(); });
    mainWindow.show();
    return QApplication::exec();
}
