#include "preview/frmpicwork.h"

#include "navigator/frmdynamic.h"

frmPicWork::frmPicWork() : PreviewWindow(QStringLiteral("Input")), picWork(createPictureBox())
{
    picWork->onChange = [this] { picWork_Change(); };
}

void frmPicWork::Form_Load()
{
    setScaleMode(platform::ScaleMode::Pixels);
    setLeft(frmDynamic::instance().width());
    setTop(0);
}

void frmPicWork::picWork_Change()
{
    fitToPicture(*picWork);
}
