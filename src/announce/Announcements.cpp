#include "announce/Announcements.h"

#include "core/SpokenText.h"

Announcements::Announcements(AnnounceRoutes routes)
    : m_routes(std::move(routes)), m_self(std::make_shared<Announcements *>(this))
{
}

Announcements::~Announcements() = default;

bool Announcements::ScreenReaderRunning()
{
    return m_routes.screenReaderRunning();
}

void Announcements::Announce(const QStringList &texts, bool readAloud, bool sound)
{
    if (texts.isEmpty())
        return;
    if (sound)
        m_routes.sound();
    // What still waits for the voice goes unsaid once the user has turned reading aloud off.
    if (!readAloud) {
        m_waiting.clear();
        m_waitingMore = 0;
        return;
    }
    if (m_routes.screenReaderRunning() && m_routes.toScreenReader(SpokenSummary(texts)))
        return;
    for (const QString &text : texts) {
        if (m_waiting.size() < kSpokenAtOnce)
            m_waiting.append(text);
        else
            ++m_waitingMore;
    }
    if (!m_voiceBusy)
        Speak();
}

void Announcements::Speak()
{
    const QString summary = SpokenSummary(m_waiting, m_waitingMore);
    m_waiting.clear();
    m_waitingMore = 0;
    m_voiceBusy = true;
    m_routes.voice(summary, [self = std::weak_ptr(m_self)] {
        const auto announcements = self.lock();
        if (!announcements)
            return;
        Announcements &me = **announcements;
        me.m_voiceBusy = false;
        if (!me.m_waiting.isEmpty())
            me.Speak();
    });
}
