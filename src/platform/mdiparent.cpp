#include "platform/mdiparent.h"

#include "platform/eventguard.h"
#include "platform/form.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProxyStyle>

#include <cstdlib>

namespace platform {

namespace {

MdiParent *s_current = nullptr;

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

std::function<void()> &endProcessHandler()
{
    static std::function<void()> handler;
    return handler;
}

} // namespace

MdiParent::MdiParent()
    : m_workspace(new QMdiArea)
{
    s_current = this;
    m_workspace->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_workspace->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_workspace);
}

MdiParent::~MdiParent()
{
    while (!m_forms.empty())
        delete m_forms.back();
    if (s_current == this)
        s_current = nullptr;
}

MdiParent &MdiParent::current()
{
    Q_ASSERT(s_current);
    return *s_current;
}

QMenu *MdiParent::addMenu(const QString &caption)
{
    return menuBar()->addMenu(caption);
}

QAction *MdiParent::addCommand(const QString &caption, std::function<void()> handler)
{
    QAction *action = menuBar()->addAction(caption);
    connect(action, &QAction::triggered, this, [handler] { runEvent(handler); });
    return action;
}

QAction *MdiParent::addItem(QMenu *menu, const QString &caption, std::function<void()> handler)
{
    QAction *action = menu->addAction(caption);
    connect(action, &QAction::triggered, this, [handler] { runEvent(handler); });
    return action;
}

void MdiParent::adopt(Form *form)
{
    MdiParent &parent = current();
    static ChildFrameStyle *style = new ChildFrameStyle;
    form->window()->setStyle(style);
    parent.m_workspace->addSubWindow(form->window());
    form->window()->hide();
    parent.m_forms.push_back(form);
}

void MdiParent::forget(Form *form)
{
    if (!s_current)
        return;
    auto &forms = s_current->m_forms;
    std::erase(forms, form);
}

void MdiParent::closeEvent(QCloseEvent *event)
{
    while (!m_forms.empty()) {
        Form *form = m_forms.front();
        runEvent([form] { form->unload(); });
    }
    runEvent([this] { MDIForm_Unload(); });
    event->accept();
}

void endProcess()
{
    if (endProcessHandler()) {
        endProcessHandler()();
        return;
    }
    std::_Exit(EXIT_SUCCESS);
}

void setEndProcessHandler(std::function<void()> handler)
{
    endProcessHandler() = std::move(handler);
}

} // namespace platform
