#include "platform/picturebox.h"

#include "platform/bitmapfile.h"
#include "platform/bmpdecoder.h"
#include "platform/form.h"
#include "platform/picturecopy.h"
#include "platform/runtimeerror.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace platform {

namespace {

qint64 &pictureMemoryLimit()
{
    static qint64 limit = 0;
    return limit;
}

QImage blankImage(QSize size, const QColor &backColor)
{
    if (size.isEmpty())
        return {};
    const qint64 bytes = qint64((size.width() * 3 + 3) & ~3) * size.height();
    if (pictureMemoryLimit() > 0 && bytes > pictureMemoryLimit())
        platform::raise(err::CantCreatePersistentPicture);
    QImage image = blackPicture(size);
    if (image.isNull())
        platform::raise(err::CantCreatePersistentPicture);
    if (backColor != Qt::black)
        image.fill(backColor);
    return image;
}

QImage opaque(const QImage &picture)
{
    if (picture.isNull() || picture.format() == PictureFormat)
        return picture;
    return picture.convertToFormat(PictureFormat);
}

} // namespace

void setPictureMemoryLimit(qint64 bytes)
{
    pictureMemoryLimit() = bytes;
}

QImage LoadPicture(const QString &path)
{
    if (path.isEmpty())
        return {};
    return loadBitmapFile(path);
}

void SavePicture(const QImage &image, const QString &path)
{
    saveBitmapFile(image, path);
}

PictureBox::PictureBox(QWidget *parent, const Form &form, Border border, const QColor &backColor)
    : QWidget(parent)
    , m_form(form)
    , m_border(border)
    , m_backColor(backColor)
{
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateWidgetSize();
}

void PictureBox::setPicture(const QImage &picture)
{
    m_picture = opaque(picture);
    m_inner = m_picture.size();
    m_image = m_picture;
    updateWidgetSize();
    update();
    if (onChange)
        onChange();
}

void PictureBox::loadPicture(const QString &path)
{
    // Decoded into the spare buffer, so a refused file leaves the picture as it was. The old
    // picture then becomes the spare: a run of equal frames reuses the same two buffers.
    loadBitmapFile(path, m_spare);
    std::swap(m_spare, m_picture);
    setPicture(m_picture);
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
    QImage resized = blankImage(inner, m_backColor);
    if (!resized.isNull() && !m_image.isNull()) {
        const QImage previous = m_image;
        m_image = resized;
        paintPicture(previous, 0, 0);
    } else {
        m_image = resized;
    }
    m_inner = inner;
    updateWidgetSize();
    update();
}

void PictureBox::paintPicture(const QImage &picture, int x, int y)
{
    const QRect target = copyPicture(opaque(picture), m_image, x, y);
    if (target.isEmpty())
        return;
    update(target.translated(borderWidth(), borderWidth()));
}

void PictureBox::updateWidgetSize()
{
    const int border = 2 * borderWidth();
    resize(std::min(m_inner.width() + border, QWIDGETSIZE_MAX),
           std::min(m_inner.height() + border, QWIDGETSIZE_MAX));
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    // Only the exposed part is drawn, straight from the image: a large sheet is never copied
    // for a repaint.
    QPainter painter(this);
    const int border = borderWidth();
    painter.fillRect(event->rect(), m_backColor);
    const QRect exposed = event->rect().translated(-border, -border).intersected(m_image.rect());
    if (!exposed.isEmpty())
        painter.drawImage(exposed.topLeft() + QPoint(border, border), m_image, exposed);
    if (border) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace platform
