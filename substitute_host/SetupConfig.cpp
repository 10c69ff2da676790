#include "SetupConfig.h"

SetupConfig::SetupConfig(const QString &stationCall, QObject *parent) : QObject(parent), m_stationCall(stationCall) {}

QString SetupConfig::ReadStationCall()
{
    emit Answering(QStringLiteral("ReadStationCall"));
    return m_stationCall;
}
