#pragma once

#include <QString>

#include <memory>

class QFile;
class QSaveFile;

namespace platform {

// One sequential text file handle: lines in the local 8-bit encoding, each written line ended
// with CR LF. Output replaces the file whole on close, or not at all, but for a writable file in
// a folder whose permissions refuse new files, which is written in place.
class TextFile
{
public:
    TextFile();
    ~TextFile();

    void openInput(const QString &path);
    void openOutput(const QString &path);
    void openAppend(const QString &path);

    // One line without its line end; past the end of the file is error 62.
    QString readLine();
    void printLine(const QString &text);

    // Finishes the operation; a file opened for output is put in place only now.
    void close();
    // Drops the handle without raising anything; unfinished output leaves the file untouched.
    void abandon();
    bool isOpen() const;

private:
    std::unique_ptr<QFile> m_input;
    std::unique_ptr<QSaveFile> m_output;
    std::unique_ptr<QFile> m_append;
};

} // namespace platform
