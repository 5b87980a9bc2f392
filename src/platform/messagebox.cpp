#include "platform/messagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

namespace {
MessageBoxHandler &messageBoxHandler()
{
    static MessageBoxHandler handler;
    return handler;
}
} // namespace

void setMessageBoxHandler(MessageBoxHandler handler)
{
    messageBoxHandler() = std::move(handler);
}

void MsgBox(const QString &text)
{
    if (messageBoxHandler()) {
        messageBoxHandler()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace platform
