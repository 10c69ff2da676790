#pragma once

#include <csignal>
#include <optional>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

// Runs build/substitute-host for a test: starts it, waits for "ready", feeds it commands and
// reads what it reports. The process is killed when the object goes.
//
// Its standard output goes to a file, not a pipe: a test that is blocked in a bus call to the
// host cannot drain a pipe, and a long posted line would fill it and stall the host.
class SubstituteHostProcess
{
public:
    explicit SubstituteHostProcess(const QStringList &arguments = {})
    {
        m_process.setProgram(QStringLiteral(SUBSTITUTE_HOST));
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setStandardOutputFile(m_output.fileName());
    }
    ~SubstituteHostProcess()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // Starts the host and waits until it owns its name. False when it ended or stayed silent.
    [[nodiscard]] bool Start()
    {
        m_process.start();
        return m_process.waitForStarted() && m_output.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
            && NextLine() == QStringLiteral("ready");
    }
    void Send(const QString &command)
    {
        m_process.write((command + u'\n').toUtf8());
        m_process.waitForBytesWritten();
    }

    // The next line of standard output without its line end, or nothing within the time.
    std::optional<QString> NextLine(int timeoutMs = 5000)
    {
        const QDeadlineTimer deadline(timeoutMs);
        for (m_unread += m_output.readAll(); !m_unread.contains('\n'); m_unread += m_output.readAll()) {
            if (deadline.hasExpired())
                return std::nullopt;
            QThread::msleep(5);
        }
        const qsizetype end = m_unread.indexOf('\n');
        const QString line = QString::fromUtf8(m_unread.first(end));
        m_unread.remove(0, end + 1);
        return line;
    }

    // Freezes the host, the way a hung program behaves.
    void Stop() { ::kill(pid_t(m_process.processId()), SIGSTOP); }

    QProcess &Process() { return m_process; }

private:
    QTemporaryDir m_folder;
    QFile m_output{m_folder.filePath(QStringLiteral("stdout"))};
    QProcess m_process;
    QByteArray m_unread;
};
