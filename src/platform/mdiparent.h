#pragma once

#include <QMainWindow>
#include <QStringList>

#include <functional>

class QMdiArea;
class QMenu;

namespace platform {

// The multiple-document main window: a menu bar over a scrolling workspace that holds the
// forms. Closing it closes every form's window first, which unloads the form, then runs its own
// unload handler.
class MdiParent : public QMainWindow
{
public:
    MdiParent();
    ~MdiParent() override;

    // The main window of this run; forms are placed in its workspace.
    static MdiParent &current();

    QMdiArea *workspace() const { return m_workspace; }
    // While it closes, every form's window unloads its form, closable by the user or not.
    bool isClosing() const { return m_closing; }

    QMenu *addMenu(const QString &caption);
    // A command on the menu bar itself, or an item of a menu; clicks run through the event guard.
    QAction *addCommand(const QString &caption, std::function<void()> handler);
    QAction *addItem(QMenu *menu, const QString &caption, std::function<void()> handler);

protected:
    virtual void MDIForm_Unload() { }
    // Files and folders dropped anywhere on the window, from a file manager say, as local paths.
    virtual void MDIForm_OLEDragDrop(const QStringList &paths) = 0;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QMdiArea *m_workspace;
    bool m_closing = false;
};

// Ends the process at once: no unload handler runs. Tests replace it with a recorder.
void endProcess();
void setEndProcessHandler(std::function<void()> handler);

} // namespace platform
