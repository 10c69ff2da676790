#pragma once

#include <memory>
#include <stdexcept>

#include <QAction>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "FakeHost.h"
#include "main_window/frmMain.h"

// One main window with everything outside it faked: host, settings in a temporary file, a
// fixed clock, a wait that returns at once, and recorders for opened files, message boxes and
// requests for the user's attention.
struct Rig
{
    struct Message
    {
        QMessageBox::Icon icon;
        QString title;
        QString text;
    };

    QTemporaryDir dir;
    FakeHost host;
    std::unique_ptr<QSettings> settings = std::make_unique<QSettings>(dir.filePath("Parlox.conf"), QSettings::IniFormat);
    QDateTime now{QDate(2026, 12, 6), QTime(14, 5)};
    bool clockFails = false;
    // Every reading of the clock a minute later than the one before.
    bool clockRuns = false;
    QList<int> waits;
    std::function<void(int)> duringWait;
    QStringList opened;
    QList<Message> messages;
    QList<QWidget *> alerted;
    int unloads = 0;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<QWidget> elsewhere;

    QString logPath() const { return dir.filePath("ParloxLog.txt"); }

    frmMain &Make()
    {
        window = std::make_unique<frmMain>(Outside{
            host, *settings,
            [this](int seconds) {
                waits.append(seconds);
                if (duringWait)
                    duringWait(seconds);
            },
            [this] {
                if (clockFails)
                    throw std::runtime_error("no time to be had");
                if (clockRuns)
                    now = now.addSecs(60);
                return now;
            }, [this](const QString &path) { opened.append(path); },
            [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
                messages.append({icon, title, text});
            },
            logPath(), [this](QWidget *window) { alerted.append(window); }});
        QObject::connect(window.get(), &frmMain::Unloaded, [this] { ++unloads; });
        return *window;
    }

    // Starts the window as the program does and shows it.
    frmMain &Start()
    {
        Make();
        if (window->Load() != frmMain::LoadResult::Running)
            return *window;
        window->show();
        window->activateWindow();
        return *window;
    }

    // Another window of the desktop takes the activation from the main window, as when the user
    // turns to another program; Activate gives it back.
    bool Deactivate()
    {
        elsewhere = std::make_unique<QWidget>();
        elsewhere->show();
        elsewhere->activateWindow();
        return QTest::qWaitForWindowActive(elsewhere.get()) && !window->isActiveWindow();
    }
    bool Activate()
    {
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    // What the next run would read from the store.
    QString Stored(const QString &key)
    {
        settings->sync();
        return QSettings(dir.filePath("Parlox.conf"), QSettings::IniFormat).value("Settings/" + key).toString();
    }

    // All four stored values as one line, for example "True False 1350 1800"; absent ones empty.
    QString StoredFour()
    {
        QStringList values;
        for (const char *key : {"LogFile", "DoubleSpace", "ScrnTop", "ScrnLeft"})
            values.append(Stored(QString::fromLatin1(key)));
        return values.join(' ');
    }

    // The marked item of each pair, for example "Off Double".
    QString Marks()
    {
        QStringList marked;
        for (const char *name : {"mnuRecordOn", "mnuRecordOff", "mnuSingle", "mnuDouble"}) {
            if (Find<QAction>(name)->isChecked())
                marked.append(Find<QAction>(name)->text());
        }
        return marked.join(' ');
    }

    template <typename T> T *Find(const char *name) { return window->findChild<T *>(QString::fromLatin1(name)); }
};
