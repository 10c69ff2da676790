#pragma once

#include <csignal>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

// Runs build/substitute-host for a test: starts it, feeds it commands and reads what it reports.
// The process is killed when the object goes.
//
// Its standard output goes to a file, not a pipe: a test that is blocked in a bus call to the
// host cannot drain a pipe, and a long posted line would fill it and stall the host.
struct SubstituteHostProcess : QProcess
{
    explicit SubstituteHostProcess(const QStringList &arguments = {})
    {
        setProgram(QStringLiteral(SUBSTITUTE_HOST));
        setArguments(arguments);
        setProcessChannelMode(QProcess::ForwardedErrorChannel);
        setStandardOutputFile(output.fileName());
    }
    ~SubstituteHostProcess() override
    {
        kill();
        waitForFinished();
    }

    // Starts the host and waits until it owns its name. False when it ended or stayed silent.
    [[nodiscard]] bool Start()
    {
        start();
        return waitForStarted() && output.open(QIODevice::ReadOnly | QIODevice::Unbuffered) && NextLine() == "ready";
    }
    void Send(const QString &command)
    {
        write((command + u'\n').toUtf8());
        waitForBytesWritten();
    }

    // The next line of standard output without its line end, or an empty one after five seconds.
    QString NextLine()
    {
        const QDeadlineTimer deadline(5000);
        while (!unread.contains('\n') && !deadline.hasExpired()) {
            unread += output.readAll();
            QThread::msleep(5);
        }
        const qsizetype end = unread.indexOf('\n');
        const QString line = QString::fromUtf8(unread.first(std::max<qsizetype>(end, 0)));
        unread.remove(0, end + 1);
        return line;
    }

    // Freezes the host, the way a hung program behaves.
    void Freeze() { ::kill(pid_t(processId()), SIGSTOP); }

    QTemporaryDir folder;
    QFile output{folder.filePath(QStringLiteral("stdout"))};
    QByteArray unread;
};
