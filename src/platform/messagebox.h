#pragma once

#include <QString>

#include <functional>

namespace platform {

// A modal box with the text, an OK button only and the program's title.
void MsgBox(const QString &text);

// Tests replace the real box with a recorder; an empty handler restores the real one.
using MessageBoxHandler = std::function<void(const QString &text)>;
void setMessageBoxHandler(MessageBoxHandler handler);

} // namespace platform
