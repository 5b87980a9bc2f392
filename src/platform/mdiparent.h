#pragma once

#include <QMainWindow>

#include <functional>
#include <vector>

class QMdiArea;
class QMenu;

namespace platform {

class Form;

// The multiple-document main window: a menu bar over a scrolling workspace that holds the
// forms. Closing it unloads every form first, then runs its own unload handler.
class MdiParent : public QMainWindow
{
public:
    MdiParent();
    ~MdiParent() override;

    // The main window of this run; forms are placed in its workspace.
    static MdiParent &current();

    QMdiArea *workspace() const { return m_workspace; }

    QMenu *addMenu(const QString &caption);
    // A command on the menu bar itself, or an item of a menu; clicks run through the event guard.
    QAction *addCommand(const QString &caption, std::function<void()> handler);
    QAction *addItem(QMenu *menu, const QString &caption, std::function<void()> handler);

protected:
    virtual void MDIForm_Unload() {}
    void closeEvent(QCloseEvent *event) override;

private:
    friend class Form;
    static void adopt(Form *form);
    static void forget(Form *form);

    QMdiArea *m_workspace;
    std::vector<Form *> m_forms;
};

// Ends the process at once: no unload handler runs. Tests replace it with a recorder.
void endProcess();
void setEndProcessHandler(std::function<void()> handler);

} // namespace platform
