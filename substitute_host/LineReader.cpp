#include "LineReader.h"

#include <cerrno>
#include <utility>

#include <unistd.h>

LineReader::LineReader(int fd, QObject *parent) : QObject(parent), m_fd(fd), m_notifier(fd, QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &LineReader::ReadAvailable);
}

void LineReader::ReadAvailable()
{
    char buffer[4096];
    const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (count <= 0) {
        m_notifier.setEnabled(false);
        if (!m_pending.isEmpty())
            DeliverLine(std::exchange(m_pending, {}));
        return;
    }
    m_pending.append(buffer, count);
    // Only the new bytes can hold a line end: a long line arriving in many pieces is not
    // searched again from its start each time.
    qsizetype lineStart = 0;
    qsizetype lineEnd = m_pending.indexOf('\n', m_pending.size() - count);
    while (lineEnd >= 0) {
        DeliverLine(m_pending.sliced(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        lineEnd = m_pending.indexOf('\n', lineStart);
    }
    m_pending.remove(0, lineStart);
}

void LineReader::DeliverLine(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    emit LineRead(QString::fromUtf8(line));
}
