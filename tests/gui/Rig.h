#pragma once

#include <memory>
#include <stdexcept>

#include <QAction>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "FakeHost.h"
#include "gui/frmMain.h"

// One main window with everything outside it faked: host, settings in a temporary file, a clock
// that may run or fail, a wait that returns at once, and recorders for opened files, message
// boxes and requests for the user's attention.
struct Rig
{
    QTemporaryDir dir;
    FakeHost host;
    std::unique_ptr<QSettings> settings
        = std::make_unique<QSettings>(dir.filePath("Parlox.conf"), QSettings::IniFormat);
    QDateTime now{QDate(2026, 12, 6), QTime(14, 5)};
    bool clockFails = false;
    // Every reading of the clock a minute later than the one before.
    bool clockRuns = false;
    QList<int> waits;
    std::function<void(int)> duringWait;
    QStringList opened;
    QStringList messages;
    QList<QWidget *> alerted;
    int unloads = 0;
    // The stored values and the chat timer when the host was released.
    QString atRelease;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<QWidget> elsewhere;

    QString logPath() const { return dir.filePath("ParloxLog.txt"); }

    frmMain::LoadResult Load()
    {
        window = std::make_unique<frmMain>(
            MainWindowDependencies{host, *settings,
                                   [this](int seconds) {
                                       waits.append(seconds);
                                       if (duringWait)
                                           duringWait(seconds);
                                   },
                                   [this] {
                                       if (clockFails)
                                           throw std::runtime_error("no time to be had");
                                       return clockRuns ? now = now.addSecs(60) : now;
                                   },
                                   [this](const QString &path) { opened.append(path); },
                                   [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
                                       messages.append(QStringLiteral("%1 %2: %3").arg(icon).arg(title, text));
                                   },
                                   logPath(),
                                   [this](QWidget *window) {
                                       alerted.append(window);
                                   }});
        QObject::connect(window.get(), &frmMain::Unloaded, [this] { ++unloads; });
        host.released = [this] {
            atRelease = StoredFour() + (Timer()->isActive() ? " ticking" : "");
        };
        return window->Load();
    }

    // Starts the window as the program does and shows it.
    frmMain &Start()
    {
        if (Load() == frmMain::LoadResult::Running) {
            window->show();
            window->activateWindow();
            (void)QTest::qWaitForWindowActive(window.get());
        }
        return *window;
    }

    // Runs one tick of the window's chat timer now, as if its half second had passed.
    void Tick() { QMetaObject::invokeMethod(Timer(), "timeout"); }
    QTimer *Timer() { return Find<QTimer>("tChatReceived"); }

    // Another window takes the activation from the main window, as when the user turns to
    // another program; Activate gives it back.
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

    // The four values the next run would read, for example "True False 1350 1800"; absent ones
    // empty.
    QString StoredFour()
    {
        settings->sync();
        const QSettings next(dir.filePath("Parlox.conf"), QSettings::IniFormat);
        QStringList values;
        for (const char *key : {"LogFile", "DoubleSpace", "ScrnTop", "ScrnLeft"})
            values.append(next.value("Settings/" + QString::fromLatin1(key)).toString());
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
