#include "controls/BusyPointer.h"

#include <QApplication>

BusyPointer::~BusyPointer()
{
    show(false);
}

void BusyPointer::show(bool busy)
{
    if (busy == m_shown)
        return;
    m_shown = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
