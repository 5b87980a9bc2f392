#include "preview/previewwindow.h"

#include <QPalette>
#include <QWidget>

using namespace platform;
using namespace quorbel;

PreviewWindow::PreviewWindow(const QString &caption) : Form(caption, {510, 45}, false) { }

PictureBox *PreviewWindow::createPictureBox()
{
    auto *box = new PictureBox(client(), *this, PictureBox::Border::FixedSingle,
                               client()->palette().color(QPalette::Base));
    box->move(0, 0);
    return box;
}

void PreviewWindow::fitToPicture(const PictureBox &box)
{
    // The height is set before the width; 400 twips allow for the title bar and borders,
    // 100 for the sides, whatever the platform's real frame.
    setHeight(checkedAdd(scaleY(box.scaleHeight(), ScaleMode::Pixels, ScaleMode::Twips), 400.0f));
    setWidth(checkedAdd(scaleX(box.scaleWidth(), ScaleMode::Pixels, ScaleMode::Twips), 100.0f));
}
