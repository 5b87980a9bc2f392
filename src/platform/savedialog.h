#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace platform {

// What the save dialog is shown with, as a test's answerer sees it.
struct SaveDialogRequest
{
    QString fileName;
    QString filter;
    bool promptToOverwrite = false;
};

// The standard save-file dialog component. Its filter is written as description|pattern pairs.
class CommonDialog
{
public:
    // 2 asks before overwriting an existing file.
    static constexpr int OverwritePrompt = 2;

    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }
    QString filter() const { return m_filter; }
    void setFilter(const QString &filter) { m_filter = filter; }

    // Modal; true once the user has confirmed a name, which fileName() then holds; false when
    // the dialog was cancelled.
    bool showSave();

private:
    int m_flags = 0;
    QString m_fileName;
    QString m_filter;
};

// Tests answer the dialog with a name, or std::nullopt for cancel.
using SaveDialogAnswerer = std::function<std::optional<QString>(const SaveDialogRequest &)>;
void setSaveDialogAnswerer(SaveDialogAnswerer answerer);

} // namespace platform
