#pragma once

#include "app/frmmain.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// Runs the real windows offscreen as a user would meet them: a temporary application folder
// (where quorbel.ini lives), every message box recorded instead of shown, the save dialog
// answered by the test, and File > Exit recorded instead of ending the test process.
class TestApp
{
public:
    TestApp();
    ~TestApp();

    // The temporary application folder; write quorbel.ini here before start() to seed it.
    QString appFolder() const { return m_appFolder.path(); }
    QString iniPath() const;
    QByteArray iniBytes() const;
    void writeIni(const QByteArray &bytes) const;

    // Starts as the process does: the main window's load, then the main window shown.
    // The Navigator's folder list starts in workingFolder (the process's working folder).
    void start(const QString &workingFolder = QString());
    // Closes the main window as the close box does: unloads, then writes the settings.
    void close();
    frmMain &main() { return *m_main; }
    bool running() const { return m_main != nullptr; }
    // Forgets the windows without any unload handler running, as after File > Exit.
    void discard();

    // Message box texts in the order shown; takeMessages() empties the record.
    QStringList messages;
    QStringList takeMessages();

    // The answer the next save dialogs get: a path, or std::nullopt for cancel.
    std::optional<QString> saveAnswer;
    // What the last save dialog was shown with.
    QString dialogFileName;
    QString dialogFilter;
    bool dialogPromptsOverwrite = false;
    int dialogsShown = 0;

    bool exitRequested = false;

private:
    QTemporaryDir m_appFolder;
    QString m_previousWorkingFolder;
    std::unique_ptr<frmMain> m_main;
};
