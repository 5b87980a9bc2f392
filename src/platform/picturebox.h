#pragma once

#include "core/picture.h"

#include <QColor>
#include <QWidget>

#include <functional>

namespace platform {

class Form;

// Loads a picture: a Windows bitmap file, or the empty picture for an empty name.
quorbel::Picture LoadPicture(const QString &path);
// Writes a picture as a Windows bitmap to exactly the path given, replacing any file whole.
void SavePicture(const quorbel::Picture &picture, const QString &path);

// A picture box that takes exactly the size of any picture set into it and keeps what is
// painted into it in a persistent image. Sizes set by code are in its form's scale mode;
// its own inner measure is pixels.
class PictureBox : public QWidget
{
public:
    enum class Border { None, FixedSingle };

    PictureBox(QWidget *parent, const Form &form, Border border, const QColor &backColor);

    const quorbel::Picture &picture() const { return m_picture; }
    // Takes the picture and its size, then raises the change notification, also for the empty
    // picture, which leaves an inner size of 0 x 0.
    void setPicture(const quorbel::Picture &picture);
    // The persistent image: everything shown or painted, the back colour elsewhere.
    const quorbel::Picture &image() const { return m_image; }

    // Outer size, in the form's scale mode; area the image did not have holds the back colour.
    // An image that cannot be made that large is error 480.
    void setBoxWidth(double value);
    void setBoxHeight(double value);
    // Inner size in pixels.
    float scaleWidth() const { return float(m_inner.width()); }
    float scaleHeight() const { return float(m_inner.height()); }

    // Lets painter change the persistent image in place, then shows the change.
    void paintWith(const std::function<void(quorbel::Picture &image)> &painter);

    std::function<void()> onChange;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int borderWidth() const { return m_border == Border::FixedSingle ? 1 : 0; }
    void setInnerSize(QSize inner);
    void updateWidgetSize();

    const Form &m_form;
    Border m_border;
    QColor m_backColor;
    quorbel::Picture m_picture;
    quorbel::Picture m_image;
    QSize m_inner{0, 0};
};

} // namespace platform
