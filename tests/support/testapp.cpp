#include "support/testapp.h"

#include "app/startup.h"
#include "settings/varmodule.h"
#include "platform/appfolder.h"
#include "platform/form.h"
#include "platform/lists.h"
#include "platform/mdiparent.h"
#include "platform/messagebox.h"
#include "platform/picturebox.h"
#include "platform/savedialog.h"
#include "support/frames.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

TestApp::TestApp()
    : m_previousWorkingFolder(QDir::currentPath())
{
    varModule::LastPath.clear();
    platform::setApplicationFolder(m_appFolder.path());
    platform::setConfigurationFolder(configFolder());
    platform::setVolumeLister([] { return QStringList{QStringLiteral("/")}; });
    platform::setMessageBoxHandler([this](const QString &text) {
        messages.append(text);
        shownBeforeNavigator += !platform::isFormLoaded<frmDynamic>();
    });
    platform::setEndProcessHandler([this] { exitRequested = true; });
    platform::setSaveDialogAnswerer([this](const platform::SaveDialogRequest &request) {
        ++dialogsShown;
        dialogFileName = request.fileName;
        return request.filter == u"BMP(*.bmp)|*.bmp"_s && request.promptToOverwrite
            ? saveAnswer
            : std::optional<QString>(); // a dialog shown otherwise than Save asks writes nothing
    });
}

TestApp::~TestApp()
{
    discard();
    platform::setApplicationFolder(QString());
    platform::setConfigurationFolder(QString());
    platform::setMessageBoxHandler({});
    platform::setEndProcessHandler({});
    platform::setSaveDialogAnswerer({});
    platform::setVolumeLister({});
    QDir::setCurrent(m_previousWorkingFolder);
}

QString TestApp::iniPath() const
{
    return m_appFolder.filePath(QStringLiteral("quorbel.ini"));
}

QByteArray TestApp::iniBytes() const
{
    return testframes::readAll(iniPath());
}

void TestApp::writeIni(const QByteArray &bytes) const
{
    testframes::writeFile(iniPath(), bytes);
}

frmDynamic &TestApp::start(const QString &workingFolder)
{
    QDir::setCurrent(workingFolder.isEmpty() ? appFolder() : workingFolder);
    m_main = startQuorbel();
    return frmDynamic::instance();
}

frmDynamic &TestApp::startIn(const QString &storedFolder, const QString &workingFolder)
{
    writeIni(storedFolder.toLocal8Bit() + "\r\n");
    return start(workingFolder);
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
    return std::exchange(messages, {});
}

namespace steps {

frmDynamic &navigator()
{
    return frmDynamic::instance();
}

void pickRows(const QString &entry)
{
    QComboBox *rows = navigator().cboNumOfRows;
    rows->setCurrentIndex(rows->findText(entry));
    emit rows->activated(rows->currentIndex()); // what a pick by mouse or keyboard sends
}

bool draw(TestApp &app, const QString &rows, bool invert)
{
    pickRows(rows);
    navigator().chkInvert->setChecked(invert);
    navigator().cmdDraw->click();
    return app.messages.isEmpty() && navigator().cmdSave->isEnabled();
}

QImage save(TestApp &app, const QString &path)
{
    app.saveAnswer = path;
    navigator().cmdSave->click();
    return testframes::readBmp24(testframes::readAll(path));
}

bool activateFolder(const QString &folder)
{
    QListWidget *list = navigator().Dir1;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->data(Qt::UserRole).toString() == folder) {
            list->setCurrentRow(i);
            QTest::keyClick(list, Qt::Key_Return);
            return true;
        }
    }
    return false;
}

QString figures()
{
    const frmDynamic &n = navigator();
    return QStringList{n.lblXSource->text(), n.lblYSource->text(), n.lblNumOfFrames->text(),
                       n.lblFramesPerRow->text(), n.lblFinalSize->text()}
        .join(u'|');
}

QStringList rowChoices()
{
    QStringList entries;
    for (int i = 0; i < navigator().cboNumOfRows->count(); ++i)
        entries.append(navigator().cboNumOfRows->itemText(i));
    return entries;
}

QStringList expectedRowChoices(std::initializer_list<int> appendedRuns)
{
    QStringList entries = u"1 2 3 4 5 6 7 8 9 10 11 23"_s.split(u' ');
    for (int run : appendedRuns) {
        for (int i = 1; i <= run; ++i)
            entries.append(u' ' + QString::number(i));
    }
    return entries;
}

} // namespace steps
