#pragma once

#include "preview/previewwindow.h"

// The "Final" window: the composed sheet, opened below the Navigator.
class frmPicFinal : public PreviewWindow
{
public:
    frmPicFinal();

    static frmPicFinal &instance() { return platform::formInstance<frmPicFinal>(); }

    void picFinal_Change();

    platform::PictureBox *picFinal;

protected:
    void Form_Load() override;
};
