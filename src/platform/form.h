#pragma once

#include "platform/twips.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <initializer_list>

class QWidget;

namespace platform {

// One child window of the main window: its client area holds the controls, its outer frame is
// placed and sized in twips relative to the workspace. Each kind of form exists at most once
// and is reached through formInstance(), which loads it on first use.
class Form
{
public:
    virtual ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    // Outer frame in twips, border and title bar included, relative to the workspace.
    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);

    void setScaleMode(ScaleMode mode) { m_scaleMode = mode; }
    // Converts a width or height from one unit to another, in single precision.
    float scaleX(float value, ScaleMode from, ScaleMode to) const;
    float scaleY(float value, ScaleMode from, ScaleMode to) const;

    QString caption() const;
    // Shows the form without blocking and brings it to the front.
    void show();
    // Runs the unload handler, then closes and destroys the form.
    void unload();

    QWidget *client() const { return m_client; }
    // A position or size in the form's current scale mode, in pixels.
    int toPixels(double value) const;
    QMdiSubWindow *window() const { return m_window; }

protected:
    // clientTwips is the designed client area. Every form has a fixed border: no resizing, no
    // minimize or maximize button. Closable forms get a close box that unloads them.
    Form(const QString &caption, QSize clientTwips, bool closable);

    virtual void Form_Load() { }
    virtual void Form_Unload() { }

    // Places a control in its parent, in the form's current scale mode, and hands it back.
    template <class Control>
    Control *place(Control *control, double left, double top, double width, double height) const
    {
        setGeometry(control, left, top, width, height);
        return control;
    }
    // Focus moves through the controls in this order; disabled ones are skipped.
    static void setTabOrder(std::initializer_list<QWidget *> controls);

private:
    template <class T>
    friend T &formInstance();

    void load(std::function<void()> onDestroyed);
    void setGeometry(QWidget *control, double left, double top, double width, double height) const;
    void applyGeometry();
    QWidget *firstTabStop() const;
    QRect outerPixels() const;
    double outerTwips(double stored, int actualPixels) const;

    QPointer<QMdiSubWindow> m_window;
    QWidget *m_client = nullptr;
    bool m_closable;
    ScaleMode m_scaleMode = ScaleMode::Twips;
    double m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    std::function<void()> m_onDestroyed;
};

// The single instance of a form kind, loaded (and its Form_Load run) on first reference.
template <class T>
T *&formSlot()
{
    static T *slot = nullptr;
    return slot;
}

template <class T>
T &formInstance()
{
    T *&slot = formSlot<T>();
    if (!slot) {
        slot = new T;
        slot->load([] { formSlot<T>() = nullptr; });
    }
    return *slot;
}

template <class T>
bool isFormLoaded()
{
    return formSlot<T>() != nullptr;
}

} // namespace platform
