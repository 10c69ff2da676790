#include "SubstituteHostProcess.h"

#include <csignal>

#include <QDeadlineTimer>
#include <QThread>

SubstituteHostProcess::SubstituteHostProcess(const QStringList &arguments)
    : m_output(m_folder.filePath(QStringLiteral("stdout")))
{
    m_process.setProgram(QStringLiteral(SUBSTITUTE_HOST));
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(m_output.fileName());
}

SubstituteHostProcess::~SubstituteHostProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    Continue();
    m_process.kill();
    m_process.waitForFinished();
}

bool SubstituteHostProcess::Start()
{
    m_process.start();
    return m_process.waitForStarted() && m_output.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
        && NextLine() == QStringLiteral("ready");
}

void SubstituteHostProcess::Send(const QString &command)
{
    m_process.write((command + u'\n').toUtf8());
    m_process.waitForBytesWritten();
}

std::optional<QString> SubstituteHostProcess::NextLine(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        m_unread += m_output.readAll();
        const qsizetype end = m_unread.indexOf('\n');
        if (end >= 0) {
            const QString line = QString::fromUtf8(m_unread.first(end));
            m_unread.remove(0, end + 1);
            return line;
        }
        if (deadline.hasExpired())
            return std::nullopt;
        QThread::msleep(5);
    }
}

void SubstituteHostProcess::Stop()
{
    ::kill(pid_t(m_process.processId()), SIGSTOP);
}

void SubstituteHostProcess::Continue()
{
    ::kill(pid_t(m_process.processId()), SIGCONT);
}
