#pragma once

#include <QStringList>

#include "host/HostBinding.h"
#include "host/HostError.h"

// A host that records every call, answers a chosen call sign and fails the step it is told to.
class FakeHost : public HostBinding
{
    Q_OBJECT

public:
    QStringList calls;
    QStringList posted;
    QString callSign = QStringLiteral("N0CALL-L");
    QString failingStep;
    HostError::Outcome failingOutcome = HostError::Outcome::NotDone;
    // The step during which the host announces its closing, as EchoLink's events come in while
    // a call to it is under way.
    QString closingDuring;

    void CreateEventObject() override { Step(QStringLiteral("CreateEventObject")); }
    void CreateSetupConfig() override { Step(QStringLiteral("CreateSetupConfig")); }
    void CreateSysopConfig() override { Step(QStringLiteral("CreateSysopConfig")); }
    QString ReadStationCall() override
    {
        Step(QStringLiteral("ReadStationCall"));
        return callSign;
    }
    void PostChatLine(const QString &line) override
    {
        Step(QStringLiteral("PostChatLine"));
        posted.append(line);
    }
    void Release() override { calls.append(QStringLiteral("Release")); }

private:
    void Step(const QString &name)
    {
        calls.append(name);
        if (name == closingDuring)
            emit Closing();
        if (name == failingStep)
            throw HostError(QStringLiteral("the host did not answer"), failingOutcome);
    }
};
