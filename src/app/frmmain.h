#pragma once

#include "platform/mdiparent.h"
#include "settings/inifile.h"

class QAction;
class QMenu;

// The main window: the workspace that holds the Navigator, the preview windows and About,
// with the File > Exit and About commands. It reads the settings at start and writes them
// when it closes.
class frmMain : public platform::MdiParent
{
public:
    frmMain();

    // Start-up: settings first, then the Navigator. A folder or file named on the command line
    // (openedPath, when not empty) opens in place of the stored folder, for this run.
    void MDIForm_Load(const QString &openedPath = {});

    void mnuAbout_Click();
    void mnuExit_Click();

    QMenu *mnuFile;
    QAction *mnuExit;
    QAction *mnuAbout;

protected:
    void MDIForm_Unload() override;
    void MDIForm_OLEDragDrop(const QStringList &paths) override;

private:
    IniFile m_ini;
};
