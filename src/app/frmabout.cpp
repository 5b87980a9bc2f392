#include "app/frmabout.h"

#include "platform/controls.h"

#include <QWidget>

namespace {

struct LabelDesign
{
    int left, top, width, height;
    const char16_t *text;
};

// Positions and sizes in twips.
const LabelDesign labelDesigns[] = {
    {120, 120, 5775, 255, u"Quorbel.  " QUORBEL_VERSION},
    {240, 600, 5415, 735,
     u"This program is a utility designed for the creation of SS/Continuum (sprite) based "
     u"animation images. Its purpose is to take a series of individial .bmp files and combine "
     u"them into one larger .bmp for use in-game."},
    {240, 1440, 5415, 255,
     u"1.Take all the frames of your animation and put them into a folder alone."},
    {240, 1800, 5415, 255, u"2.Using QRB navigate to that folder."},
    {240, 2160, 5415, 495,
     u"3.Choose the number of rows you want in the final BMP and QRB will Calculate the Frames "
     u"per row."},
    {240, 2760, 5415, 495,
     u"4.Click Draw and QRB will Create a new image comprised of all the bmp's in the folder."},
    {240, 3360, 5415, 255,
     u"5.Click save and......alla peanut butter an' jelly san'diches.....<poof>"},
    {240, 3720, 5415, 495,
     u"For best results, make sure you only have the proper frames for the animation in the "
     u"said folder. and no others."},
    {240, 4320, 5415, 855,
     u"Disclaimer: This program is Use at your own risk. I will not be held resposible for any "
     u"Damages that result from the use/mis-use of QRB or any files it Interacts with. It is "
     u"free from harmfull code and viri to the best of my knowledge and ability, and i maintian "
     u"that it is totaly safe to use."},
    {1080, 5280, 3735, 495,
     u"brannoc@example.com ICQ:123456789(vovirovaz) "
     u"\"Let never again a ship set be assembled by hand\""},
};

} // namespace

frmAbout::frmAbout() : Form(QStringLiteral("About Brannoc's Q.R.B."), {6000, 5865}, true)
{
    for (size_t i = 0; i < labels.size(); ++i) {
        const LabelDesign &design = labelDesigns[i];
        labels[i] = place(new platform::Label(client(), QString::fromUtf16(design.text),
                                              platform::Label::Style::CentredWrapped),
                          design.left, design.top, design.width, design.height);
    }
}
