#include "app/startup.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(QUORBEL_VERSION));
    // Lets a Wayland desktop match the windows to the installed menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("io.github.quorbel.Quorbel"));
    // Every size of the icon, so the title bars and the task switcher each get a sharp one.
    QIcon icon;
    const QDir sizes(QStringLiteral(":/icon"));
    for (const QString &size : sizes.entryList())
        icon.addFile(sizes.filePath(size));
    QApplication::setWindowIcon(icon);

    // quorbel FOLDER, or a file in it, as a file manager's "Open With" starts it.
    const std::unique_ptr<frmMain> mainWindow = startQuorbel(QApplication::arguments().value(1));
    return QApplication::exec();
}
