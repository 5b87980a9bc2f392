#pragma once

#include "preview/previewwindow.h"

// The "Input" window: the current single frame, opened to the right of the Navigator.
class frmPicWork : public PreviewWindow
{
public:
    frmPicWork();

    static frmPicWork &instance() { return platform::formInstance<frmPicWork>(); }

    void picWork_Change();

    platform::PictureBox *picWork;

protected:
    void Form_Load() override;
};
