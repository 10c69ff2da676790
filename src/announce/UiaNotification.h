#pragma once

#include <QLibrary>
#include <QString>

class QWidget;

// A UI Automation notification raised on a window: Narrator and JAWS speak it whether the
// window is in front or not, NVDA only from the window in front. Windows has it from
// Windows 10 1709 on, so it is looked up when Parlox runs, not when it starts.
class UiaNotification
{
public:
    UiaNotification();

    // False where Windows has no notifications or no screen reader listens for them.
    bool Raise(QWidget *window, const QString &text);

private:
    QLibrary m_library;
};
