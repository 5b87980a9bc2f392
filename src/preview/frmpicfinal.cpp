#include "preview/frmpicfinal.h"

#include "navigator/frmdynamic.h"

frmPicFinal::frmPicFinal() : PreviewWindow(QStringLiteral("Final")), picFinal(createPictureBox())
{
    picFinal->onChange = [this] { picFinal_Change(); };
}

void frmPicFinal::Form_Load()
{
    setScaleMode(platform::ScaleMode::Pixels);
    setLeft(0);
    setTop(frmDynamic::instance().height());
}

void frmPicFinal::picFinal_Change()
{
    fitToPicture(*picFinal);
}
