#include "platform/controls.h"

#include "platform/eventguard.h"
#include "core/runtimeerror.h"

namespace platform {

using namespace quorbel;

Label::Label(QWidget *parent, const QString &caption, Style style) : QLabel(caption, parent)
{
    switch (style) {
    case Style::Plain:
        break;
    case Style::Bordered:
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
        break;
    case Style::CentredWrapped:
        setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setWordWrap(true);
        break;
    }
}

Frame::Frame(QWidget *parent, const QString &caption) : QGroupBox(caption, parent) { }

CommandButton::CommandButton(QWidget *parent, const QString &caption) : QPushButton(caption, parent)
{
    // Enter presses the button that has the focus, as Space does; outside a dialog only an
    // auto-default button takes it.
    setAutoDefault(true);
    connect(this, &QPushButton::clicked, this, [this] {
        if (onClick)
            runEvent(onClick);
    });
}

CheckBox::CheckBox(QWidget *parent, const QString &caption) : QCheckBox(caption, parent) { }

DropDownList::DropDownList(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this] {
        if (onClick)
            runEvent(onClick);
    });
}

void DropDownList::setText(const QString &text)
{
    const int index = findText(text, Qt::MatchExactly);
    if (index < 0)
        quorbel::raise(err::InvalidPropertyValue);
    setCurrentIndex(index);
}

} // namespace platform
