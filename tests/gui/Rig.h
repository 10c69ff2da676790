#pragma once

#include <memory>
#include <stdexcept>

#include <QAction>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "gui/frmMain.h"
#include "host/HostBinding.h"
#include "host/HostError.h"

// One main window with everything outside it faked, the rig itself playing the host. The
// journal holds what the window asked of the outside, in order: host calls ("Release" with the
// four stored values then and the chat timer if it still runs), waits ("wait 3"), opened files,
// message boxes, requests for attention ("alert") and the unload. The host fails the step named
// `failing`; during the one named `closingDuring` it announces its closing, as EchoLink's events
// come in while a call to it is under way. The clock may fail, or run a minute a reading.
struct Rig : HostBinding
{
    QTemporaryDir dir;
    QString conf = dir.filePath("Parlox.conf");
    std::unique_ptr<QSettings> settings;
    QStringList journal, posted;
    QString failing, closingDuring;
    HostError::Outcome outcome = HostError::Outcome::NotDone;
    QDateTime now{QDate(2026, 12, 6), QTime(14, 5)};
    bool clockFails = false, clockRuns = false;
    std::unique_ptr<frmMain> window;

    QString logPath() const { return dir.filePath("ParloxLog.txt"); }

    void CreateEventObject() override { Step("CreateEventObject"); }
    void CreateSetupConfig() override { Step("CreateSetupConfig"); }
    void CreateSysopConfig() override { Step("CreateSysopConfig"); }
    QString ReadStationCall() override
    {
        Step("ReadStationCall");
        return QStringLiteral("N0CALL-L");
    }
    void PostChatLine(const QString &line) override
    {
        Step("PostChatLine");
        posted.append(line);
    }
    void Release() override { journal.append(("Release " + StoredFour() + (Timer()->isActive() ? " ticking" : ""))); }
    void Step(const QString &name)
    {
        journal.append(name);
        if (name == closingDuring)
            emit Closing();
        if (name == failing)
            throw HostError("the host did not answer", outcome);
    }
    QDateTime Clock()
    {
        if (clockFails)
            throw std::runtime_error("no time to be had");
        return clockRuns ? now = now.addSecs(60) : now;
    }

    frmMain::LoadResult Load()
    {
        settings = std::make_unique<QSettings>(conf, QSettings::IniFormat);
        window = std::make_unique<frmMain>(MainWindowDependencies{
            *this, *settings, [this](int seconds) { Step(QStringLiteral("wait %1").arg(seconds)); },
            [this] { return Clock(); }, [this](const QString &path) { journal.append("open " + path); },
            [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
                journal.append(QStringLiteral("box %1 %2: %3").arg(icon).arg(title, text));
            },
            logPath(),
            [this](QWidget *) {
                journal.append("alert");
            }});
        QObject::connect(window.get(), &frmMain::Unloaded, [this] { journal.append("Unloaded"); });
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

    // The four stored values as the next run reads them, "True False 1350 1800", absent ones
    // empty; given values, stores them first.
    QString StoredFour(const QStringList &set = {})
    {
        if (settings)
            settings->sync();
        QSettings next(conf, QSettings::IniFormat);
        QStringList values;
        for (const char *key : {"LogFile", "DoubleSpace", "ScrnTop", "ScrnLeft"}) {
            if (!set.isEmpty())
                next.setValue("Settings/" + QString::fromLatin1(key), set.value(values.size()));
            values.append(next.value("Settings/" + QString::fromLatin1(key)).toString());
        }
        return values.join(' ');
    }

    template <typename T> T *Find(const char *name) { return window->findChild<T *>(QString::fromLatin1(name)); }
};
