#pragma once

#include <QDBusContext>
#include <QObject>

// The host's /EventObject: takes posted lines and raises the two events. Its signals reach the
// bus through the generated adaptor.
class EventObject : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    explicit EventObject(bool refusePosts, QObject *parent = nullptr);

public slots:
    void PostChatLine(const QString &line);

signals:
    void Closing();
    void ChatTextReceived(const QString &sText);

    // A line a client posted and the host took.
    void LinePosted(const QString &line);
    // A call of this method is done with and about to be answered.
    void Answering(const QString &method);

private:
    bool m_refusePosts;
};
