#pragma once

#include <stdexcept>
#include <string>

#include <QString>

// The one failure type of every host binding, carrying a reason a person can read.
class HostError : public std::runtime_error
{
public:
    // Whether the host may still carry out the call: one it refused, or could not be reached
    // for, was not done; one it did not answer in time may yet be.
    enum class Outcome { NotDone, Unknown };

    explicit HostError(const QString &reason, Outcome outcome = Outcome::NotDone)
        : std::runtime_error(reason.toStdString()), outcome_(outcome)
    {
    }

    QString reason() const { return QString::fromStdString(what()); }
    Outcome outcome() const { return outcome_; }

private:
    Outcome outcome_;
};
