#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

// Reads UTF-8 lines from a file descriptor (standard input) as they come, without blocking the
// event loop. A line may end in LF or CR LF. At the end of input a last unfinished line is still
// delivered, and then the reader falls silent.
class LineReader : public QObject
{
    Q_OBJECT

public:
    explicit LineReader(int fd, QObject *parent = nullptr);

signals:
    void LineRead(const QString &line);

private:
    void ReadAvailable();
    void DeliverLine(QByteArray line);

    int m_fd;
    QSocketNotifier m_notifier;
    QByteArray m_pending;
};
