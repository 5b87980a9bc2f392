#include "platform/picturebox.h"

#include "core/bitmapfile.h"
#include "core/runtimeerror.h"
#include "platform/form.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace platform {

using quorbel::Picture;

namespace {

Picture blankImage(QSize size, const QColor &backColor)
{
    Picture image;
    try {
        image = Picture(size);
    } catch (const std::bad_alloc &) {
        quorbel::raise(quorbel::err::CantCreatePersistentPicture);
    }
    if (image.isNull() || backColor == Qt::black)
        return image;
    const uchar pixel[3] = {uchar(backColor.blue()), uchar(backColor.green()),
                            uchar(backColor.red())};
    for (int y = 0; y < image.height(); ++y) {
        uchar *row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            std::memcpy(row + 3 * x, pixel, 3);
    }
    return image;
}

} // namespace

Picture LoadPicture(const QString &path)
{
    return path.isEmpty() ? Picture() : quorbel::loadBitmapFile(path);
}

void SavePicture(const Picture &picture, const QString &path)
{
    quorbel::saveBitmapFile(picture, path);
}

PictureBox::PictureBox(QWidget *parent, const Form &form, Border border, const QColor &backColor)
    : QWidget(parent), m_form(form), m_border(border), m_backColor(backColor)
{
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateWidgetSize();
}

void PictureBox::setPicture(const Picture &picture)
{
    m_picture = picture;
    m_inner = m_picture.size();
    m_image = m_picture;
    updateWidgetSize();
    update();
    if (onChange)
        onChange();
}

void PictureBox::setBoxWidth(double value)
{
    const int outer = m_form.toPixels(value);
    setInnerSize({std::max(0, outer - 2 * borderWidth()), m_inner.height()});
}

void PictureBox::setBoxHeight(double value)
{
    const int outer = m_form.toPixels(value);
    setInnerSize({m_inner.width(), std::max(0, outer - 2 * borderWidth())});
}

void PictureBox::setInnerSize(QSize inner)
{
    if (inner == m_inner)
        return;
    Picture resized = blankImage(inner, m_backColor);
    quorbel::copyPicture(m_image, resized, QPoint(0, 0));
    m_image = resized;
    m_inner = inner;
    updateWidgetSize();
    update();
}

void PictureBox::paintWith(const std::function<void(Picture &image)> &painter)
{
    painter(m_image);
    update();
}

void PictureBox::updateWidgetSize()
{
    const int border = 2 * borderWidth();
    resize(std::min(m_inner.width() + border, QWIDGETSIZE_MAX),
           std::min(m_inner.height() + border, QWIDGETSIZE_MAX));
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    // Only the exposed part is drawn, straight from the image's own pixels: a large sheet is
    // never copied for a repaint.
    QPainter painter(this);
    const int border = borderWidth();
    painter.fillRect(event->rect(), m_backColor);
    const QRect exposed = event->rect().translated(-border, -border).intersected(m_image.rect());
    if (!exposed.isEmpty()) {
        const QImage shown(m_image.constBits(), m_image.width(), m_image.height(),
                           m_image.bytesPerLine(), QImage::Format_BGR888);
        painter.drawImage(exposed.topLeft() + QPoint(border, border), shown, exposed);
    }
    if (border) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace platform
