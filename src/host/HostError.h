#pragma once

#include <stdexcept>
#include <string>

#include <QString>

// The one failure type of every host binding, carrying a reason a person can read.
class HostError : public std::runtime_error
{
public:
    explicit HostError(const QString &reason) : std::runtime_error(reason.toStdString()) {}

    QString reason() const { return QString::fromStdString(what()); }
};
