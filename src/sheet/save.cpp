// Save: writing the composed sheet to a bitmap file the user names.

#include "navigator/frmdynamic.h"

#include "settings/varmodule.h"
#include "platform/appfolder.h"
#include "platform/messagebox.h"

using namespace platform;
using namespace quorbel;

void frmDynamic::cmdSave_Click()
{
    try {
        if (FileNames.isEmpty())
            raise(err::SubscriptOutOfRange);
        dlgCommon.setFileName(joinPath(varModule::LastPath, FileNames.at(0)));
        dlgCommon.setFilter(QStringLiteral("BMP(*.bmp)|*.bmp"));
        // Cancelling writes nothing and needs no message.
        if (!dlgCommon.showSave())
            return;
        SavePicture(picFinal->image(), dlgCommon.fileName());
    } catch (...) {
        const RuntimeError error = currentError();
        MsgBox(QStringLiteral("File not Saved"));
        MsgBox(error.descriptionAndNumber());
    }
}
