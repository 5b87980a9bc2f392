#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const std::unique_ptr<frmMain> mainWindow = startQuorbel();
    return QApplication::exec();
}
