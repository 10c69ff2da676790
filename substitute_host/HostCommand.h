#pragma once

#include <chrono>

#include <QString>

// One line of standard input, understood: "chat TEXT", "closing", "busy MS", "hang", "crash" or
// "quit".
struct HostCommand
{
    enum class Kind { Chat, Closing, Busy, Hang, Crash, Quit, Blank, Unknown };

    Kind kind;
    QString text; // Chat: the text to raise, unescaped
    std::chrono::milliseconds period{}; // Busy: how long
};

HostCommand ParseHostCommand(const QString &line);
