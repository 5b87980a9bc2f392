#include "app/frmmain.h"

#include "app/frmabout.h"
#include "navigator/frmdynamic.h"
#include "platform/eventguard.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "settings/varmodule.h"

#include <QFileInfo>
#include <QMenuBar>

namespace {

// The folder a path handed in from outside stands for: the folder itself, or the one that holds
// a file, so that a frame opens its animation.
QString folderOf(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.absolutePath() : info.absoluteFilePath();
}

} // namespace

frmMain::frmMain()
{
    setWindowTitle(QString());
    mnuFile = addMenu(QStringLiteral("&File"));
    mnuExit = addItem(mnuFile, QStringLiteral("Exit"), [this] { mnuExit_Click(); });
    mnuAbout = addCommand(QStringLiteral("&About"), [this] { mnuAbout_Click(); });
    resize(platform::twipsToPixels(9660),
           platform::twipsToPixels(7485) + menuBar()->sizeHint().height());
}

void frmMain::MDIForm_Load(const QString &openedPath)
{
    m_ini.Checkini();
    // Standing in for the stored folder, the path is also where Save proposes the sheet; the
    // settings file still gets the folder shown at closing.
    if (QFileInfo::exists(openedPath))
        varModule::LastPath = folderOf(openedPath);
    else if (!openedPath.isEmpty())
        platform::MsgBox(
            QStringLiteral("%1 does not exist; Quorbel opens the folder it showed last.")
                .arg(openedPath));
    // A Navigator whose load met an error is still shown, so the user can walk elsewhere.
    platform::runAllThenRaise([] { frmDynamic::instance(); },
                              [] { frmDynamic::instance().show(); });
}

void frmMain::MDIForm_Unload()
{
    m_ini.WriteNewini();
}

void frmMain::MDIForm_OLEDragDrop(const QStringList &paths)
{
    frmDynamic::instance().Dir1->setPath(folderOf(paths.constFirst()));
}

void frmMain::mnuAbout_Click()
{
    frmAbout::instance().show();
}

void frmMain::mnuExit_Click()
{
    platform::endProcess();
}
