#pragma once

#include <QString>

// Parlox's own notices in the transcript: what happened to the host and to the chat log, said
// once when it happens, in words a listener understands without the window.

// Why a line cannot be sent while the host is gone.
QString HostGoneReason();

QString HostGoneNotice(bool comesBackByItself);
QString HostBackNotice();
QString HostBackFailedNotice(const QString &reason);

QString LogFailingNotice(const QString &reason);
QString LogBackNotice(qsizetype missingRecords);
