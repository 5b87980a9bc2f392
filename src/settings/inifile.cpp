#include "settings/inifile.h"

#include "settings/varmodule.h"
#include "platform/appfolder.h"
#include "platform/messagebox.h"
#include "core/runtimeerror.h"

#include <QFileInfo>

namespace {

// Beside the executable, for portable use, where the file is or can be made. An installed copy's
// folder takes no new file from its user, so there the file lives in the user's configuration
// folder. Rebuilt for every open, never cached.
QString settingsPath()
{
    const QString name = QStringLiteral("quorbel.ini");
    const QString beside = platform::joinPath(platform::applicationFolder(), name);
    if (QFileInfo::exists(beside) || platform::acceptsNewFiles(platform::applicationFolder()))
        return beside;
    return platform::joinPath(platform::configurationFolder(), name);
}

} // namespace

void IniFile::Checkini()
{
    try {
        m_file.openInput(settingsPath());
        m_file.close();
        GetiniData();
    } catch (...) {
        if (quorbel::currentError().number() == quorbel::err::FileNotFound) {
            CreateINI();
            GetiniData();
            return;
        }
        platform::MsgBox(QStringLiteral("ini read error- Checkini"));
        m_file.abandon();
    }
}

void IniFile::CreateINI()
{
    try {
        m_file.openAppend(settingsPath());
        m_file.close();
        m_file.openOutput(settingsPath());
        m_file.printLine(platform::applicationFolder());
        m_file.close();
    } catch (...) {
        m_file.abandon();
        platform::MsgBox(QStringLiteral("Error in CreateINI"));
    }
}

void IniFile::GetiniData()
{
    try {
        m_file.openInput(settingsPath());
        const QString line = m_file.readLine();
        m_file.close();
        varModule::LastPath = line;
    } catch (...) {
        m_file.abandon();
        platform::MsgBox(QStringLiteral("Error in GetiniData"));
    }
}

void IniFile::WriteNewini()
{
    try {
        m_file.openOutput(settingsPath());
        m_file.printLine(varModule::LastPath);
        m_file.close();
    } catch (...) {
        m_file.abandon();
        platform::MsgBox(QStringLiteral("Error in WriteNewini"));
    }
}
