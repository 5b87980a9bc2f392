// Loading the first frame into the work pictures, and emptying every picture.

#include "navigator/frmdynamic.h"

#include "platform/appfolder.h"
#include "platform/messagebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"

using namespace platform;
using namespace quorbel;

void frmDynamic::ClearPictures()
{
    picWork->setBoxHeight(0);
    picFinal->setBoxHeight(0);
    picWork->setBoxWidth(0);
    picFinal->setBoxWidth(0);
    picWork->setPicture(LoadPicture(QString()));
    frmPicWork::instance().picWork->setPicture(LoadPicture(QString()));
    picFinal->setPicture(LoadPicture(QString()));
    frmPicFinal::instance().picFinal->setPicture(LoadPicture(QString()));
}

void frmDynamic::PreviewFirstFrame()
{
    try {
        File1->setSelected(0);
        picWork->setPicture(LoadPicture(joinPath(File1->path(), File1->fileName())));
        // A load of its own: the two boxes never share one picture.
        frmPicWork::instance().picWork->setPicture(
            LoadPicture(joinPath(File1->path(), File1->fileName())));
    } catch (...) {
        switch (const RuntimeError error = currentError(); error.number()) {
        case err::PathNotFound:
            picWork->setPicture(LoadPicture(QString()));
            frmPicFinal::instance().picFinal->setPicture(LoadPicture(QString()));
            break;
        case err::InvalidPropertyArrayIndex:
            picWork->setPicture(LoadPicture(QString()));
            break;
        default:
            MsgBox(error.descriptionAndNumber());
            break;
        }
    }
}
