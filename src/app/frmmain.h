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

    // Start-up: settings first, then the Navigator.
    void MDIForm_Load();

    void mnuAbout_Click();
    void mnuExit_Click();

    QMenu *mnuFile;
    QAction *mnuExit;
    QAction *mnuAbout;

protected:
    void MDIForm_Unload() override;

private:
    IniFile m_ini;
};
