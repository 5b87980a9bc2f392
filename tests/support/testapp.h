#pragma once

#include "app/commandline.h"
#include "app/startup.h"
#include "navigator/frmdynamic.h"
#include "platform/appfolder.h"
#include "platform/mdiparent.h"
#include "platform/messagebox.h"
#include "platform/savedialog.h"
#include "settings/varmodule.h"
#include "support/frames.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <memory>
#include <optional>

// Runs the real windows offscreen as a user meets them: a temporary application folder (where
// quorbel.ini lives) and configuration folder, every message box recorded instead of shown, the
// save dialog answered by the test, File > Exit recorded instead of ending the test process, and
// one volume, "/", in the drive list.
class TestApp
{
public:
    TestApp() : m_previousWorkingFolder(QDir::currentPath())
    {
        varModule::LastPath.clear();
        platform::setApplicationFolder(m_appFolder.path());
        platform::setConfigurationFolder(configFolder());
        platform::setVolumeLister([] { return QStringList{QStringLiteral("/")}; });
        platform::setMessageBoxHandler([this](const QString &text) { messages.append(text); });
        platform::setEndProcessHandler([this] { exitRequested = true; });
        platform::setSaveDialogAnswerer([this](const platform::SaveDialogRequest &request) {
            ++dialogsShown;
            dialogFileName = request.fileName;
            // A dialog shown otherwise than Save asks for writes nothing.
            const bool asked =
                request.filter == QStringLiteral("BMP(*.bmp)|*.bmp") && request.promptToOverwrite;
            return asked ? saveAnswer : std::nullopt;
        });
    }
    ~TestApp()
    {
        m_main.reset();
        platform::setApplicationFolder({});
        platform::setConfigurationFolder({});
        platform::setMessageBoxHandler({});
        platform::setEndProcessHandler({});
        platform::setSaveDialogAnswerer({});
        platform::setVolumeLister({});
        QDir::setCurrent(m_previousWorkingFolder);
    }

    QString appFolder() const { return m_appFolder.path(); }
    // The user's configuration folder, not made yet.
    QString configFolder() const { return m_configParent.filePath(QStringLiteral("Quorbel")); }
    QString iniPath() const { return m_appFolder.filePath(QStringLiteral("quorbel.ini")); }
    void writeIni(const QByteArray &bytes) const { testframes::writeFile(iniPath(), bytes); }

    // Starts as the process does, through the same command line and start-up as main(), with
    // workingFolder (the application folder when empty) as the folder the folder list starts in
    // and arguments after the program's name; with storedFolder, quorbel.ini names it first.
    frmDynamic &start(const QString &workingFolder = {}, const QStringList &arguments = {})
    {
        QDir::setCurrent(workingFolder.isEmpty() ? appFolder() : workingFolder);
        QString printed;
        QTextStream out(&printed);
        const CommandLine line =
            readCommandLine(QStringList{QStringLiteral("quorbel")} + arguments, out, out);
        m_main = startQuorbel(line.opened);
        return frmDynamic::instance();
    }
    frmDynamic &startIn(const QString &storedFolder, const QString &workingFolder = {},
                        const QStringList &arguments = {})
    {
        writeIni(storedFolder.toLocal8Bit() + "\r\n");
        return start(workingFolder, arguments);
    }
    // Closes the main window as its close box does: unloads, then writes the settings.
    void close()
    {
        if (m_main)
            m_main->close();
        m_main.reset();
    }
    // Forgets the windows without any unload handler running, as after File > Exit.
    void discard() { m_main.reset(); }
    frmMain &main() { return *m_main; }

    QStringList messages;
    QStringList takeMessages() { return std::exchange(messages, {}); }

    // The answer the save dialogs get: a path, or std::nullopt for cancel.
    std::optional<QString> saveAnswer;
    QString dialogFileName;
    int dialogsShown = 0;
    bool exitRequested = false;

private:
    QTemporaryDir m_appFolder, m_configParent;
    QString m_previousWorkingFolder;
    std::unique_ptr<frmMain> m_main;
};

// What the user does in the Navigator and reads back from it.
namespace steps {

inline frmDynamic &navigator()
{
    return frmDynamic::instance();
}

// The user picks the entry of the rows list with this text, as a mouse or the keyboard does.
inline void pickRows(const QString &entry)
{
    QComboBox *rows = navigator().cboNumOfRows;
    rows->setCurrentIndex(rows->findText(entry));
    emit rows->activated(rows->currentIndex());
}

// Picks the rows, sets "Invert Order" and presses Draw; true when no message came and Save was
// enabled.
inline bool draw(TestApp &app, const QString &rows, bool invert = false)
{
    pickRows(rows);
    navigator().chkInvert->setChecked(invert);
    navigator().cmdDraw->click();
    return app.messages.isEmpty() && navigator().cmdSave->isEnabled();
}

// Presses Save, answering the dialog with path, and reads the file back independently.
inline QImage save(TestApp &app, const QString &path)
{
    app.saveAnswer = path;
    navigator().cmdSave->click();
    return QImage(path, "BMP");
}

// Opens a folder as the user does: its entry in the folder list made current and Enter pressed.
// False when the list shows no entry for it.
inline bool activateFolder(const QString &folder)
{
    QListWidget *list = navigator().Dir1;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->data(Qt::UserRole).toString() == folder) {
            list->setCurrentRow(i);
            QTest::keyClick(list, Qt::Key_Return);
            return true;
        }
    }
    return false;
}

// The five value labels of "Image Info", such as "32|32|8|8|256x32".
inline QString figures()
{
    const frmDynamic &n = navigator();
    return QStringList{n.lblXSource->text(), n.lblYSource->text(), n.lblNumOfFrames->text(),
                       n.lblFramesPerRow->text(), n.lblFinalSize->text()}
        .join(u'|');
}

// The entries of the rows list, and the design entries followed by one run " 1" ... " n" per
// folder measured.
inline QStringList rowChoices()
{
    QStringList entries;
    for (int i = 0; i < navigator().cboNumOfRows->count(); ++i)
        entries.append(navigator().cboNumOfRows->itemText(i));
    return entries;
}
inline QStringList expectedRowChoices(std::initializer_list<int> appendedRuns)
{
    QStringList entries = QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 23").split(u' ');
    for (int run : appendedRuns) {
        for (int i = 1; i <= run; ++i)
            entries.append(u' ' + QString::number(i));
    }
    return entries;
}

} // namespace steps
