#pragma once

#include <optional>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// Runs build/substitute-host for a test: starts it, waits for "ready", feeds it commands and
// reads what it reports. The process is killed when the object goes.
//
// Its standard output goes to a file, not a pipe: a test that is blocked in a bus call to the
// host cannot drain a pipe, and a long posted line would fill it and stall the host.
class SubstituteHostProcess
{
public:
    explicit SubstituteHostProcess(const QStringList &arguments = {});
    ~SubstituteHostProcess();

    // Starts the host and waits until it owns its name. False when it ended or stayed silent.
    [[nodiscard]] bool Start();
    void Send(const QString &command);

    // The next line of standard output without its line end, or nothing within the time.
    std::optional<QString> NextLine(int timeoutMs = 5000);

    // Freezes and thaws the host, the way a hung program behaves.
    void Stop();
    void Continue();

    QProcess &Process() { return m_process; }

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    QFile m_output;
    QByteArray m_unread;
};
