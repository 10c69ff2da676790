#include "EventObject.h"

EventObject::EventObject(bool refusePosts, QObject *parent) : QObject(parent), m_refusePosts(refusePosts) {}

void EventObject::PostChatLine(const QString &line)
{
    if (m_refusePosts)
        sendErrorReply(QStringLiteral("org.parlox.Host.Error.PostRefused"),
                       QStringLiteral("The substitute host refuses every posted line (--fail-post)."));
    else
        emit LinePosted(line);
    emit Answering(QStringLiteral("PostChatLine"));
}
