#include "SetupConfig.h"

SetupConfig::SetupConfig(const QString &stationCall, QObject *parent) : QObject(parent), m_stationCall(stationCall) {}

QString SetupConfig::ReadStationCall() const
{
    return m_stationCall;
}
