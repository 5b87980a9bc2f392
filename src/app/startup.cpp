#include "app/startup.h"

#include "platform/eventguard.h"

#include <QApplication>

std::unique_ptr<frmMain> startQuorbel(const QString &openedPath)
{
    QApplication::setApplicationName(QStringLiteral("Quorbel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorbel"));

    auto mainWindow = std::make_unique<frmMain>();
    platform::runEvent([&] { mainWindow->MDIForm_Load(openedPath); });
    mainWindow->show();
    return mainWindow;
}
