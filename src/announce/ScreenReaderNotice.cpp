#include "announce/ScreenReaderNotice.h"

#include <QAccessible>
#include <QWidget>

#include "announce/NoticeAccessible.h"

namespace {

constexpr std::size_t kKept = 8;

} // namespace

ScreenReaderNotice::~ScreenReaderNotice()
{
    for (const QPointer<QObject> &notice : m_shown)
        delete notice.data();
}

void ScreenReaderNotice::SetWindow(QWidget *window)
{
    m_window = window;
}

// The notification has no name of its own: Orca leaves out of braille a line that repeats it.
bool ScreenReaderNotice::Show(const QString &text)
{
    if (!QAccessible::isActive())
        return false;
    auto *notice = new QObject(m_window.data());
    auto *line = new QObject(notice);
    QAccessible::registerAccessibleInterface(new NoticeAccessible(notice, QAccessible::Notification, {}));
    QAccessible::registerAccessibleInterface(new NoticeAccessible(line, QAccessible::StaticText, text));
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    m_shown.emplace_back(notice);
    if (m_shown.size() > kKept) {
        delete m_shown.front().data();
        m_shown.pop_front();
    }
    return true;
}
