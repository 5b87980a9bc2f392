#include "platform/appfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace platform {

namespace {
QString &folderOverride()
{
    static QString folder;
    return folder;
}
QString &configurationOverride()
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

QString configurationFolder()
{
    const QString folder = configurationOverride().isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        : configurationOverride();
    QDir().mkpath(folder); // where it cannot be made, the file's own open says so
    return folder;
}

void setConfigurationFolder(const QString &folder)
{
    configurationOverride() = folder;
}

bool acceptsNewFiles(const QString &folder)
{
    QTemporaryFile probe(joinPath(folder, QStringLiteral("quorbel-probe-XXXXXX")));
    return probe.open();
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

} // namespace platform
