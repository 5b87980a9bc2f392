#include "platform/form.h"

#include "platform/eventguard.h"
#include "platform/mdiparent.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProxyStyle>
#include <QWidget>

#include <memory>
#include <utility>

namespace platform {

using namespace quorbel;

namespace {

// Child windows are sized from their pictures with fixed allowances of 100 twips across and
// 400 down for border and title bar; a thin frame and a compact title bar keep the whole
// picture inside those allowances. Any lower, and the close box's cross shrinks to a square
// that reads as a maximise button.
class ChildFrameStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (metric == PM_MdiSubWindowFrameWidth)
            return 2;
        if (metric == PM_TitleBarHeight)
            return 22;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// The sub-window that frames a form: a fixed size the user cannot change, and a close box only
// where the form may be unloaded by the user. The form lives as long as its window: closing the
// window unloads the form, and a window destroyed with the main window takes its form along.
class FormWindow : public QMdiSubWindow
{
public:
    FormWindow(Form *form, bool closable) : m_form(form), m_closable(closable)
    {
        Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (closable)
            flags |= Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
        setWindowFlags(flags);
        if (!closable)
            setSystemMenu(nullptr);
        static ChildFrameStyle *const style = new ChildFrameStyle;
        setStyle(style);
    }
    ~FormWindow() override
    {
        m_dying = true;
        delete std::exchange(m_form, nullptr);
    }

    // The form is gone; the window only waits to be deleted.
    void detach() { m_form = nullptr; }
    bool dying() const { return m_dying; }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (m_form && (m_closable || MdiParent::current().isClosing())) {
            Form *form = m_form;
            runEvent([form] { form->unload(); });
        }
    }

private:
    Form *m_form;
    bool m_closable;
    bool m_dying = false;
};

} // namespace

Form::Form(const QString &caption, QSize clientTwips, bool closable)
    : m_client(new QWidget), m_closable(closable)
{
    // The layouts were drawn for a compact 8-point system font. In DejaVu Sans, the font every
    // Debian desktop has, 9 pixels is the largest size at which every caption fits its box
    // whole: "Frames" just fills its 33 pixels, and About's one-line labels stay on one line.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    m_client->setFont(font);
    m_client->setFixedSize(twipsToPixels(clientTwips.width()), twipsToPixels(clientTwips.height()));
    m_window = new FormWindow(this, closable);
    m_window->setWidget(m_client);
    m_window->setWindowTitle(caption);
}

Form::~Form()
{
    if (m_onDestroyed)
        m_onDestroyed();
    // The window may be in the middle of its own close event, so it goes once that is over.
    auto *window = static_cast<FormWindow *>(m_window.data());
    if (window && !window->dying()) {
        window->detach();
        window->hide();
        if (QMdiArea *workspace = window->mdiArea())
            workspace->removeSubWindow(window);
        window->deleteLater();
    }
}

void Form::load(std::function<void()> onDestroyed)
{
    m_onDestroyed = std::move(onDestroyed);
    MdiParent::current().workspace()->addSubWindow(m_window);
    m_window->hide();
    // The design size of the client area decides the first outer size.
    m_window->adjustSize();
    m_client->setMinimumSize(0, 0);
    m_client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QRect outer = m_window->geometry();
    m_left = pixelsToTwips(outer.x());
    m_top = pixelsToTwips(outer.y());
    m_width = pixelsToTwips(outer.width());
    m_height = pixelsToTwips(outer.height());
    applyGeometry();
    Form_Load();
}

void Form::unload()
{
    // The form goes even when its unload handler fails.
    const std::unique_ptr<Form> self(this);
    Form_Unload();
}

void Form::show()
{
    m_window->show();
    m_window->raise();
    if (m_window->mdiArea())
        m_window->mdiArea()->setActiveSubWindow(m_window);
    // A form that comes forward takes the keyboard at its first enabled control in tab order.
    // Given while the main window is still hidden, the focus waits there for it to appear;
    // without it, the main window would hand the focus, and with it the activation, to
    // whichever child window its own focus chain finds first.
    if (QWidget *first = firstTabStop())
        first->setFocus(Qt::OtherFocusReason);
}

QWidget *Form::firstTabStop() const
{
    for (QWidget *w = m_client->nextInFocusChain(); w != m_client; w = w->nextInFocusChain()) {
        if (m_client->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(m_client)
            && (w->focusPolicy() & Qt::TabFocus))
            return w;
    }
    return nullptr;
}

QString Form::caption() const
{
    return m_window->windowTitle();
}

double Form::outerTwips(double stored, int actualPixels) const
{
    // The stored twips survive as long as the window stands where they put it; once the user
    // has moved it, the real position counts.
    return twipsToPixels(stored) == actualPixels ? stored : pixelsToTwips(actualPixels);
}

double Form::left() const
{
    return outerTwips(m_left, m_window->x());
}
double Form::top() const
{
    return outerTwips(m_top, m_window->y());
}
double Form::width() const
{
    return outerTwips(m_width, m_window->width());
}
double Form::height() const
{
    return outerTwips(m_height, m_window->height());
}

void Form::setLeft(double twips)
{
    m_top = top();
    m_left = twips;
    applyGeometry();
}

void Form::setTop(double twips)
{
    m_left = left();
    m_top = twips;
    applyGeometry();
}

void Form::setWidth(double twips)
{
    m_height = height();
    m_width = twips;
    applyGeometry();
}

void Form::setHeight(double twips)
{
    m_width = width();
    m_height = twips;
    applyGeometry();
}

void Form::applyGeometry()
{
    const int width = twipsToPixels(m_width);
    const int height = twipsToPixels(m_height);
    if (width < 0 || height < 0 || width > QWIDGETSIZE_MAX || height > QWIDGETSIZE_MAX)
        quorbel::raise(err::InvalidPropertyValue);
    m_window->setFixedSize(width, height);
    m_window->move(twipsToPixels(m_left), twipsToPixels(m_top));
}

float Form::scaleX(float value, ScaleMode from, ScaleMode to) const
{
    const float twips = from == ScaleMode::Pixels ? value * TwipsPerPixel : value;
    return to == ScaleMode::Pixels ? twips / TwipsPerPixel : twips;
}

float Form::scaleY(float value, ScaleMode from, ScaleMode to) const
{
    return scaleX(value, from, to); // pixels are square: 15 twips either way
}

int Form::toPixels(double value) const
{
    return m_scaleMode == ScaleMode::Pixels ? toInt32(value) : twipsToPixels(value);
}

void Form::setGeometry(QWidget *control, double left, double top, double width, double height) const
{
    control->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void Form::setTabOrder(std::initializer_list<QWidget *> controls)
{
    QWidget *previous = nullptr;
    for (QWidget *control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

} // namespace platform
