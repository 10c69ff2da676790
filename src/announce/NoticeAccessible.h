#pragma once

#include <QAccessibleObject>
#include <QString>

// What a screen reader sees of one notice: the notification, or the line of text inside it. A
// screen reader speaks a notification as it is shown, and puts the text of the lines inside it on
// braille; both are the children of their QObjects, and showing while they are there.
class NoticeAccessible : public QAccessibleObject
{
public:
    NoticeAccessible(QObject *object, QAccessible::Role role, QString name);

    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QString text(QAccessible::Text type) const override;
    QAccessible::Role role() const override { return m_role; }
    QAccessible::State state() const override;

private:
    QAccessible::Role m_role;
    QString m_name;
};
