#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>

namespace platform {

class Form;

// Loads a picture: a Windows bitmap file, or the empty picture for an empty name.
QImage LoadPicture(const QString &path);
// Writes an image as a Windows bitmap to exactly the path given, replacing any file whole.
void SavePicture(const QImage &image, const QString &path);

// A picture box that takes exactly the size of any picture set into it and keeps what is
// painted into it in a persistent image. Sizes set by code are in its form's scale mode;
// its own inner measure is pixels.
class PictureBox : public QWidget
{
public:
    enum class Border { None, FixedSingle };

    PictureBox(QWidget *parent, const Form &form, Border border, const QColor &backColor);

    const QImage &picture() const { return m_picture; }
    // Takes the picture and its size, then raises the change notification, also for the empty
    // picture, which leaves an inner size of 0 x 0.
    void setPicture(const QImage &picture);
    // Takes the picture of a bitmap file, as setPicture(LoadPicture(path)) does, but decodes into
    // a buffer the box keeps, so loading frame after frame of one size allocates nothing. A file
    // that cannot be loaded raises its error and leaves the box as it was.
    void loadPicture(const QString &path);
    // The persistent image: everything shown or painted, the back colour elsewhere.
    const QImage &image() const { return m_image; }

    // Outer size, in the form's scale mode; area the image did not have holds the back colour.
    void setBoxWidth(double value);
    void setBoxHeight(double value);
    // Inner size in pixels.
    float scaleWidth() const { return float(m_inner.width()); }
    float scaleHeight() const { return float(m_inner.height()); }

    // Copies the picture's pixels at their natural size with the top-left corner at (x, y):
    // no blending, and what falls outside the image is cut off.
    void paintPicture(const QImage &picture, int x, int y);

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
    QImage m_picture;
    QImage m_spare;
    QImage m_image;
    QSize m_inner{0, 0};
};

// The largest persistent image, in bytes, that a picture box may create (0: as much as memory
// gives). Tests lower it to reach the failure a real shortage of memory causes.
void setPictureMemoryLimit(qint64 bytes);

} // namespace platform
