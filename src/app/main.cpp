#include <QApplication>
#include <QDateTime>
#include <QSettings>
#include <QStandardPaths>

#include "announce/PlatformAnnouncer.h"
#include "core/LogPath.h"
#include "core/StoredChoices.h"
#include "core/ViewLog.h"
#ifdef Q_OS_WIN
#include <windows.h>

#include "host/com/ComHostBinding.h"
#else
#include <QDBusConnection>

#include "app/TerminationSignals.h"
#include "host/dbus/DBusHostBinding.h"
#endif
#include "gui/frmMain.h"
#include "wait/WaitTimer.h"

namespace {

void ShowMessage(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
#ifndef Q_OS_WIN
    // Made first, so that a signal from the first moment on waits for the window.
    TerminationSignals terminationSignals;
#endif
    QApplication::setApplicationName(StoredChoices::kApplication);
    QApplication::setApplicationVersion(QStringLiteral(PARLOX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.parlox.Parlox"));
    // The window's own unload step ends the program, not the last window closing.
    QApplication::setQuitOnLastWindowClosed(false);

#ifdef Q_OS_WIN
    // Where users' stored choices for this program have always been kept on Windows.
    ComHostBinding host;
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VB and VBA Program Settings"),
                       StoredChoices::kApplication);
#else
    DBusHostBinding host(QDBusConnection::sessionBus());
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, StoredChoices::kApplication,
                       StoredChoices::kApplication);
#endif
    const QString logPath = LogFilePath(QCoreApplication::applicationDirPath(),
                                        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));

    PlatformAnnouncer announcer;
    frmMain window(MainWindowDependencies{host, settings, WaitSeconds, [] { return QDateTime::currentDateTime(); },
                                          OpenWithDefaultProgram, ShowMessage, logPath,
                                          [](QWidget *window) { QApplication::alert(window, 0); }, announcer});
    announcer.SetWindow(&window);
    QObject::connect(&window, &frmMain::Unloaded, &app, [] {
        QCoreApplication::exit(0);
#ifdef Q_OS_WIN
        // The start-up wait runs a Windows message loop of its own, which ends on this.
        PostQuitMessage(0);
#endif
    });

    // The platform ending Parlox runs the window's unload step first. On Windows, Qt says so from
    // inside the handling of WM_ENDSESSION, and Windows may end the process the moment that is
    // answered: the step runs right there, during start-up too (where Qt's own quit does nothing).
    // It stores the settings first, and the registry keeps them at once. Its calls out to EchoLink
    // come after: Windows' COM refuses them from inside a message sent by another thread (Wine's
    // lets them through), and EchoLink then finds Parlox gone at its next event.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &QWidget::close);
#ifndef Q_OS_WIN
    // As a session ending, kill or Ctrl+C in a terminal end programs on Linux.
    QObject::connect(&terminationSignals, &TerminationSignals::Received, &window, &QWidget::close);
#endif

    switch (window.Load()) {
        case frmMain::LoadResult::Failed:
            return 1;
        case frmMain::LoadResult::Closed:
            return 0;
        case frmMain::LoadResult::Running:
            break;
    }
    window.show();
    return app.exec();
}
