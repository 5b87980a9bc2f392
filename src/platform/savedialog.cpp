#include "platform/savedialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace platform {

namespace {

SaveDialogAnswerer &saveDialogAnswerer()
{
    static SaveDialogAnswerer answerer;
    return answerer;
}

// "BMP(*.bmp)|*.bmp" becomes the QFileDialog entry "BMP(*.bmp)": the description shown, the
// pattern in its closing brackets selecting the listed files.
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        const QString listed = u'(' + patterns + u')';
        const QString &description = parts.at(i);
        entries.append(description.endsWith(listed) ? description : description + u' ' + listed);
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace

void setSaveDialogAnswerer(SaveDialogAnswerer answerer)
{
    saveDialogAnswerer() = std::move(answerer);
}

bool CommonDialog::showSave()
{
    const SaveDialogRequest request{m_fileName, m_filter, (m_flags & OverwritePrompt) != 0};
    std::optional<QString> chosen;
    if (saveDialogAnswerer()) {
        chosen = saveDialogAnswerer()(request);
    } else {
        QFileDialog dialog(QApplication::activeWindow());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(qtFilter(m_filter));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.promptToOverwrite);
        // No default suffix: the name typed is the name written.
        dialog.setDirectory(QFileInfo(m_fileName).absolutePath());
        dialog.selectFile(QFileInfo(m_fileName).fileName());
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    if (!chosen)
        return false;
    m_fileName = *chosen;
    return true;
}

} // namespace platform
