#pragma once

#include <memory>

#include <QtTest>
#include <QtWidgets>

#include "core/Announcer.h"
#include "gui/frmMain.h"
#include "host/HostBinding.h"
#include "host/HostError.h"

// One main window with everything outside it faked, the rig itself playing the host and the
// announcer. The journal holds what the window asked of the outside, in order: host calls ("post"
// and the line; "Release" with the six stored values then, and "ticking" if the chat timer still
// runs), waits, opened files, message boxes, announcements ("say" or "quiet", "sound") and the
// unload.
// The host fails the step named `failing`, closes during `closingDuring` (EchoLink's events come
// in while a call to it is under way) and goes away during `goneDuring`. Each clock reading is a
// minute later.
struct Rig : HostBinding, Announcer
{
    QTemporaryDir dir;
    QSettings settings{dir.filePath("Parlox.conf"), QSettings::IniFormat};
    QStringList journal;
    QString failing, closingDuring, goneDuring, callSign = "N0CALL-L", splash;
    bool screenReader = false;
    QDateTime now{QDate(2026, 12, 6), QTime(14, 5)};
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
    void PostChatLine(const QString &line) override { Step("post " + line); }
    void Release() override { journal.append("Release " + StoredSix() + (Timer()->isActive() ? " ticking" : "")); }
    bool HearsReturn() const override { return true; }
    bool ScreenReaderRunning() override { return screenReader; }
    void Announce(const QStringList &texts, bool readAloud, bool sound) override
    {
        journal.append(QString(readAloud ? "say" : "quiet") + (sound ? " sound: " : ": ") + texts.join(" | "));
    }
    void Step(const QString &name)
    {
        journal.append(name);
        if (name == closingDuring)
            emit Closing();
        if (name == goneDuring)
            emit Gone();
        if (name == failing)
            throw HostError("the host did not answer", HostError::Outcome::Unknown);
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
            [this] { return now = now.addSecs(60); }, [this](const QString &path) { journal.append("open " + path); },
            [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
                journal.append(QStringLiteral("box %1 %2: %3").arg(icon).arg(title, text));
            },
            logPath(), [](QWidget *) {}, *announcer});
        QObject::connect(window.get(), &frmMain::Unloaded, [this] { journal.append("Unloaded"); });
        return window->Load();
    }

    // Starts the window as the program does, expecting a host that answers, and shows it.
    frmMain &Start()
    {
        (void)Load();
        window->show();
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
        return *window;
    }

    // Hands the texts in as the host does, then runs one tick of the window's chat timer now, as
    // if its half second had passed.
    void Receive(const QStringList &texts)
    {
        for (const QString &text : texts)
            emit ChatTextReceived(text);
        QMetaObject::invokeMethod(Timer(), "timeout");
    }

    // The six stored values, "True False 1350 1800 False True", absent ones empty; given values,
    // stores them first.
    QString StoredSix(const QStringList &set = {})
    {
        QStringList values;
        for (const QString key : {"LogFile", "DoubleSpace", "ScrnTop", "ScrnLeft", "Sound", "ReadAloud"}) {
            if (!set.isEmpty())
                settings.setValue("Settings/" + key, set.value(values.size()));
            values.append(settings.value("Settings/" + key).toString());
        }
        return values.join(' ');
    }

    QTimer *Timer() { return Find<QTimer>("tChatReceived"); }
    template <typename T> T *Find(const char *name) { return window->findChild<T *>(QString::fromLatin1(name)); }
};
