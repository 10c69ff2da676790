#pragma once

#include <functional>

#include <QDateTime>
#include <QMessageBox>
#include <QString>

class Announcer;
class HostBinding;
class QSettings;
class QWidget;

// Everything the main window talks to outside itself. main.cpp hands in the real ones; tests
// hand in their own.
struct MainWindowDependencies
{
    HostBinding &host;
    QSettings &settings;
    std::function<void(int seconds)> wait;
    std::function<QDateTime()> clock;
    std::function<void(const QString &path)> openFile;
    std::function<void(QMessageBox::Icon icon, const QString &title, const QString &text)> showMessage;
    QString logPath;
    // Asks the desktop to draw the user's eye to the window until it is next activated.
    std::function<void(QWidget *window)> alert;
    // Reads received chat aloud and plays the sound for it, as the user chose.
    Announcer &announcer;
};
