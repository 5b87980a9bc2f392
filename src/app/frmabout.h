#pragma once

#include "platform/form.h"

#include <array>

class QLabel;

// The About window: what the program is for, how to use it, a tip, a disclaimer and how to
// reach its maker. Ten fixed texts, nothing to press.
class frmAbout : public platform::Form
{
public:
    frmAbout();

    static frmAbout &instance() { return platform::formInstance<frmAbout>(); }

    // Label1 ... Label10.
    std::array<QLabel *, 10> labels{};
};
