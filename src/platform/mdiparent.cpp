#include "platform/mdiparent.h"

#include "platform/eventguard.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include <cstdlib>

namespace platform {

namespace {

MdiParent *s_current = nullptr;

std::function<void()> &endProcessHandler()
{
    static std::function<void()> handler;
    return handler;
}

} // namespace

MdiParent::MdiParent() : m_workspace(new QMdiArea)
{
    s_current = this;
    m_workspace->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_workspace->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_workspace);
}

MdiParent::~MdiParent()
{
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

void MdiParent::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    m_workspace->closeAllSubWindows();
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
