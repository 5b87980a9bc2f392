#include "app/commandline.h"
#include "app/startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // Read before the application exists, which needs a display: --help, --version and a
    // mistake are answered in any terminal, and open no window.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const CommandLine commandLine = readCommandLine(arguments, out, err);
    if (commandLine.exitStatus)
        return *commandLine.exitStatus;

    // Qt sees the program's name alone, so a folder named like one of its options stays a folder.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
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
    const std::unique_ptr<frmMain> mainWindow = startQuorbel(commandLine.opened);
    return QApplication::exec();
}
