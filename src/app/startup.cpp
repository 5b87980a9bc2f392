#include "app/startup.h"

#include "platform/eventguard.h"

#include <QApplication>

std::unique_ptr<frmMain> startQuorbel()
{
    QApplication::setApplicationName(QStringLiteral("Quorbel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorbel"));

    auto mainWindow = std::make_unique<frmMain>();
    platform::runEvent([&mainWindow] { mainWindow->MDIForm_Load(); });
    mainWindow->show();
    return mainWindow;
}
