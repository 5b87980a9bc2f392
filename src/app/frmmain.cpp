#include "app/frmmain.h"

#include "app/frmabout.h"
#include "navigator/frmdynamic.h"
#include "platform/eventguard.h"
#include "platform/twips.h"

#include <QMenuBar>

frmMain::frmMain()
{
    setWindowTitle(QString());
    mnuFile = addMenu(QStringLiteral("&File"));
    mnuExit = addItem(mnuFile, QStringLiteral("Exit"), [this] { mnuExit_Click(); });
    mnuAbout = addCommand(QStringLiteral("&About"), [this] { mnuAbout_Click(); });
    resize(platform::twipsToPixels(9660),
           platform::twipsToPixels(7485) + menuBar()->sizeHint().height());
}

void frmMain::MDIForm_Load()
{
    m_ini.Checkini();
    // A Navigator whose load met an error is still shown, so the user can walk elsewhere.
    platform::runAllThenRaise([] { frmDynamic::instance(); },
                              [] { frmDynamic::instance().show(); });
}

void frmMain::MDIForm_Unload()
{
    m_ini.WriteNewini();
}

void frmMain::mnuAbout_Click()
{
    frmAbout::instance().show();
}

void frmMain::mnuExit_Click()
{
    platform::endProcess();
}
