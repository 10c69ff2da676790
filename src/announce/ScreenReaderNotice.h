#pragma once

#include <deque>

#include <QPointer>
#include <QString>

class QWidget;

// Hands a text to the screen reader as a notification of the main window, shown with the text
// inside it: Orca speaks a notification as it is shown, from a window in front, behind or
// minimised, and puts its text on braille.
class ScreenReaderNotice
{
public:
    ScreenReaderNotice() = default;
    ScreenReaderNotice(const ScreenReaderNotice &) = delete;
    ScreenReaderNotice &operator=(const ScreenReaderNotice &) = delete;
    ~ScreenReaderNotice();

    void SetWindow(QWidget *window);
    // Shows the text; false while no screen reader can hear it.
    bool Show(const QString &text);

private:
    QPointer<QWidget> m_window;
    // A screen reader reads a notice a moment after it is shown; the last few stay for it.
    std::deque<QPointer<QObject>> m_shown;
};
