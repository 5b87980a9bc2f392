#include "support/testapp.h"

#include "app/varmodule.h"
#include "platform/appfolder.h"
#include "platform/eventguard.h"
#include "platform/lists.h"
#include "platform/mdiparent.h"
#include "platform/messagebox.h"
#include "platform/picturebox.h"
#include "platform/savedialog.h"

#include <QFile>

TestApp::TestApp()
    : m_previousWorkingFolder(QDir::currentPath())
{
    varModule::LastPath.clear();
    platform::setApplicationFolder(m_appFolder.path());
    platform::setMessageBoxHandler([this](const QString &text) { messages.append(text); });
    platform::setEndProcessHandler([this] { exitRequested = true; });
    platform::setSaveDialogAnswerer([this](const platform::SaveDialogRequest &request) {
        ++dialogsShown;
        dialogFileName = request.fileName;
        dialogFilter = request.filter;
        dialogPromptsOverwrite = request.promptToOverwrite;
        return saveAnswer;
    });
}

TestApp::~TestApp()
{
    discard();
    platform::setApplicationFolder(QString());
    platform::setMessageBoxHandler({});
    platform::setEndProcessHandler({});
    platform::setSaveDialogAnswerer({});
    platform::setVolumeLister({});
    platform::setPictureMemoryLimit(0);
    QDir::setCurrent(m_previousWorkingFolder);
}

QString TestApp::iniPath() const
{
    return m_appFolder.filePath(QStringLiteral("quorbel.ini"));
}

QByteArray TestApp::iniBytes() const
{
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestApp::writeIni(const QByteArray &bytes) const
{
    QFile file(iniPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

void TestApp::start(const QString &workingFolder)
{
    if (!workingFolder.isEmpty())
        QDir::setCurrent(workingFolder);
    m_main = std::make_unique<frmMain>();
    platform::runEvent([this] { m_main->MDIForm_Load(); });
    m_main->show();
}

void TestApp::close()
{
    if (m_main)
        m_main->close();
    m_main.reset();
}

void TestApp::discard()
{
    m_main.reset();
}

QStringList TestApp::takeMessages()
{
    QStringList taken;
    taken.swap(messages);
    return taken;
}
