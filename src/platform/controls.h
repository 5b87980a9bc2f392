#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <functional>

// The simple controls of the forms. User events reach a form's handler through the event guard,
// so a run-time error the handler does not trap is reported and never ends the program.
namespace platform {

// A text label; value labels carry a single-line border.
class Label : public QLabel
{
public:
    enum class Style { Plain, Bordered, CentredWrapped };
    Label(QWidget *parent, const QString &caption, Style style = Style::Plain);
};

class Frame : public QGroupBox
{
public:
    Frame(QWidget *parent, const QString &caption);
};

class CommandButton : public QPushButton
{
public:
    CommandButton(QWidget *parent, const QString &caption);
    std::function<void()> onClick;
};

class CheckBox : public QCheckBox
{
public:
    CheckBox(QWidget *parent, const QString &caption);
    // 0 = not ticked, 1 = ticked.
    int value() const { return isChecked() ? 1 : 0; }
};

// A drop-down list: the user can only pick one of its entries.
class DropDownList : public QComboBox
{
public:
    explicit DropDownList(QWidget *parent);
    // Selects the entry with exactly this text; there must be one.
    void setText(const QString &text);
    QString text() const { return currentText(); }
    // Raised when the user picks an entry.
    std::function<void()> onClick;
};

} // namespace platform
