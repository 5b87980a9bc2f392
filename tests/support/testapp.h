#pragma once

#include "app/frmmain.h"
#include "navigator/frmdynamic.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// Runs the real windows offscreen as a user meets them: a temporary application folder (where
// quorbel.ini lives) and configuration folder, every message box recorded instead of shown, the
// save dialog answered by the test, File > Exit recorded instead of ending the test process, and
// one volume, "/", in the drive list.
class TestApp
{
public:
    TestApp();
    ~TestApp();

    QString appFolder() const { return m_appFolder.path(); }
    // The user's configuration folder, not made yet.
    QString configFolder() const { return m_configParent.filePath(QStringLiteral("Quorbel")); }
    QString iniPath() const;
    QByteArray iniBytes() const;
    void writeIni(const QByteArray &bytes) const;

    // Starts as the process does, through the same start-up as main(), with workingFolder (the
    // application folder when empty) as the folder the folder list starts in.
    frmDynamic &start(const QString &workingFolder = QString());
    // The same with quorbel.ini naming storedFolder.
    frmDynamic &startIn(const QString &storedFolder, const QString &workingFolder = QString());
    // Closes the main window as its close box does: unloads, then writes the settings.
    void close();
    // Forgets the windows without any unload handler running, as after File > Exit.
    void discard();
    frmMain &main() { return *m_main; }

    QStringList messages;
    int shownBeforeNavigator = 0; // of the messages, those shown before the Navigator existed
    QStringList takeMessages();

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

frmDynamic &navigator();
// The user picks the entry of the rows list with this text.
void pickRows(const QString &entry);
// Picks the rows, sets "Invert Order" and presses Draw; true when no message came and Save was
// enabled.
bool draw(TestApp &app, const QString &rows, bool invert = false);
// Presses Save, answering the dialog with path, and reads the file back independently.
QImage save(TestApp &app, const QString &path);
// Opens a folder as the user does: its entry in the folder list made current and Enter pressed.
// False when the list shows no entry for it.
bool activateFolder(const QString &folder);
// The five value labels of "Image Info", such as "32|32|8|8|256x32".
QString figures();
// The entries of the rows list, and the design entries followed by one run " 1" ... " n" per
// folder measured.
QStringList rowChoices();
QStringList expectedRowChoices(std::initializer_list<int> appendedRuns);

} // namespace steps
