#pragma once

#include <QObject>
#include <QString>

// The host's /SetupConfig: answers the station's call sign.
class SetupConfig : public QObject
{
    Q_OBJECT

public:
    explicit SetupConfig(const QString &stationCall, QObject *parent = nullptr);

public slots:
    QString ReadStationCall();

signals:
    // A call of this method is about to be answered.
    void Answering(const QString &method);

private:
    QString m_stationCall;
};
