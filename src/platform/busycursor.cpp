#include "platform/busycursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

BusyCursor::BusyCursor()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor()
{
    end();
}

void BusyCursor::end()
{
    if (!m_active)
        return;
    m_active = false;
    QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
