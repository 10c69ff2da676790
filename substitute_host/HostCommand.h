#pragma once

#include <QString>

// One line of standard input, understood: "chat TEXT", "closing" or "quit".
struct HostCommand
{
    enum class Kind { Chat, Closing, Quit, Blank, Unknown };

    Kind kind;
    QString text; // Chat: the text to raise, unescaped
};

HostCommand ParseHostCommand(const QString &line);
