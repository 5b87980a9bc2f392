#include "platform/mdiparent.h"

#include "platform/eventguard.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>

#include <cstdlib>

namespace platform {

namespace {

MdiParent *s_current = nullptr;

std::function<void()> &endProcessHandler()
{
    static std::function<void()> handler;
    return handler;
}

// The local files and folders a drag carries; links to anything else are not for Quorbel.
QStringList localPaths(const QMimeData *data)
{
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

MdiParent::MdiParent() : m_workspace(new QMdiArea)
{
    s_current = this;
    // No control of the forms takes drops, so whatever is dropped on them comes here.
    setAcceptDrops(true);
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

void MdiParent::dragEnterEvent(QDragEnterEvent *event)
{
    if (!localPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MdiParent::dropEvent(QDropEvent *event)
{
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    runEvent([&] { MDIForm_OLEDragDrop(paths); });
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
