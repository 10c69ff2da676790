#pragma once

#include <memory>
#include <stdexcept>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/Announcer.h"
#include "gui/frmMain.h"
#include "host/HostBinding.h"
#include "host/HostError.h"

// One main window with everything outside it faked, the rig itself playing the host and the
// announcer. The journal holds what the window asked of the outside, in order: host calls
// ("Release" with the six stored values then and the chat timer if it still runs), waits
// ("wait 3"), opened files, message boxes, announcements ("say" or "sound" or both, and the
// texts), requests for attention ("alert") and the unload. The host fails the step named
// `failing`; during the one named `closingDuring` it announces its closing, as EchoLink's events
// come in while a call to it is under way, and during `goneDuring` it goes away. The clock may fail; each reading is a
// minute later.
struct Rig : HostBinding, Announcer
{
    QTemporaryDir dir;
    QString conf = dir.filePath("Parlox.conf");
    QSettings settings{conf, QSettings::IniFormat};
    QStringList journal, posted;
    QString failing, closingDuring, goneDuring, callSign = "N0CALL-L", splash;
    bool hearsReturn = true, screenReader = false;
    HostError::Outcome outcome = HostError::Outcome::NotDone;
    QDateTime now{QDate(2026, 12, 6), QTime(14, 5)};
    bool clockFails = false;
    // The rig itself, unless a benchmark hands in a real one.
    Announcer *announcer = this;
    std::unique_ptr<frmMain> window;

    QString logPath() const { return dir.filePath("ParloxLog.txt"); }

    void CreateEventObject() override { Step("CreateEventObject"); }
    void CreateSetupConfig() override { Step("CreateSetupConfig"); }
    void CreateSysopConfig() override { Step("CreateSysopConfig"); }
    QString ReadStationCall() override
    {
        Step("ReadStationCall");
        return callSign;
    }
    void PostChatLine(const QString &line) override
    {
        Step("PostChatLine");
        posted.append(line);
    }
    void Release() override
    {
        journal.append("Release " + StoredSix() + (Find<QTimer>("tChatReceived")->isActive() ? " ticking" : ""));
    }
    bool HearsReturn() const override { return hearsReturn; }
    bool ScreenReaderRunning() override { return screenReader; }
    void Announce(const QStringList &texts, bool readAloud, bool sound) override
    {
        const QString how = QStringList{readAloud ? "say" : "", sound ? "sound" : ""}.join(' ').trimmed();
        journal.append((how.isEmpty() ? "quiet" : how) + ": " + texts.join(" | "));
    }
    void Step(const QString &name)
    {
        journal.append(name);
        if (name == closingDuring)
            emit Closing();
        if (name == goneDuring)
            emit Gone();
        if (name == failing)
            throw HostError("the host did not answer", outcome);
    }

    frmMain::LoadResult Load()
    {
        window = std::make_unique<frmMain>(MainWindowDependencies{
            *this, settings,
            [this](int seconds) {
                for (QWidget *shown : QApplication::topLevelWidgets())
                    if (shown->objectName() == "frmSplash" && shown->isVisible())
                        splash = shown->findChild<QLabel *>("Label1")->text();
                Step(QStringLiteral("wait %1").arg(seconds));
            },
            [this] { return clockFails ? throw std::runtime_error("no time") : now = now.addSecs(60); },
            [this](const QString &path) { journal.append("open " + path); },
            [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
                journal.append(QStringLiteral("box %1 %2: %3").arg(icon).arg(title, text));
            },
            logPath(), [this](QWidget *) { journal.append("alert"); }, *announcer});
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
    void Tick() { QMetaObject::invokeMethod(Find<QTimer>("tChatReceived"), "timeout"); }

    // The six stored values, "True False 1350 1800 False True", absent ones empty; given values,
    // stores them first.
    QString StoredSix(const QStringList &set = {})
    {
        QStringList values;
        for (const char *key : {"LogFile", "DoubleSpace", "ScrnTop", "ScrnLeft", "Sound", "ReadAloud"}) {
            const QString path = "Settings/" + QString::fromLatin1(key);
            if (!set.isEmpty())
                settings.setValue(path, set.value(values.size()));
            values.append(settings.value(path).toString());
        }
        return values.join(' ');
    }

    template <typename T> T *Find(const char *name) { return window->findChild<T *>(QString::fromLatin1(name)); }
};
