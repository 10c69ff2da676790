#include "announce/NoticeAccessible.h"

#include <QCoreApplication>

NoticeAccessible::NoticeAccessible(QObject *object, QAccessible::Role role, QString name)
    : QAccessibleObject(object), m_role(role), m_name(std::move(name))
{
}

QAccessibleInterface *NoticeAccessible::parent() const
{
    QObject *parent = object()->parent();
    return QAccessible::queryAccessibleInterface(parent ? parent : QCoreApplication::instance());
}

QAccessibleInterface *NoticeAccessible::child(int index) const
{
    const QObjectList &children = object()->children();
    if (index < 0 || index >= children.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(children.at(index));
}

int NoticeAccessible::childCount() const
{
    return int(object()->children().size());
}

int NoticeAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return child ? int(object()->children().indexOf(child->object())) : -1;
}

QString NoticeAccessible::text(QAccessible::Text type) const
{
    return type == QAccessible::Name ? m_name : QString();
}

QAccessible::State NoticeAccessible::state() const
{
    QAccessible::State state;
    state.readOnly = m_role == QAccessible::StaticText;
    return state;
}
