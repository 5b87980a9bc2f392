#pragma once

#include "platform/form.h"
#include "platform/picturebox.h"

// A window that shows one picture whole at its natural size: it fits itself to every picture
// set into its box, with fixed allowances for its border and title bar.
class PreviewWindow : public platform::Form
{
protected:
    explicit PreviewWindow(const QString &caption);

    // The box at the top-left corner of the client area; its changes refit the window.
    platform::PictureBox *createPictureBox();
    void fitToPicture(const platform::PictureBox &box);
};
