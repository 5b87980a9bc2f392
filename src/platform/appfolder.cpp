#include "platform/appfolder.h"

#include <QCoreApplication>

namespace platform {

namespace {
QString &folderOverride()
{
    static QString folder;
    return folder;
}
} // namespace

QString applicationFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QCoreApplication::applicationDirPath();
}

void setApplicationFolder(const QString &folder)
{
    folderOverride() = folder;
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

} // namespace platform
