#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QMainWindow>
#include <QQueue>
#include <QTimer>

#include "core/ChatLog.h"
#include "core/SentLines.h"
#include "gui/MainWindowDependencies.h"

class HostError;
class QAction;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class frmSplash;

// The one working window: start-up against the host, the transcript, the entry line, the chat
// log choice, the announcements and the stored settings. Everything runs on the user-interface
// thread; host events arrive as signals and only park their text for the next tick.
//
// The window's controls, handlers and named operations keep the names of its published design,
// so that the design, a widget inspector and a screen-reader script all speak of the same thing.
// A prefix says what a name is: frm a window, tb a text box, cmd a button, mnu a menu item, t a
// timer, s a string. A handler is named after its source and its event, joined by an underscore
// (cmdSend_Click, ELo_Closing: ELo is the host's event object, whose events the HostBinding
// signals carry). Everything else follows the project's own style.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    enum class LoadResult { Running, Failed, Closed };

    explicit frmMain(MainWindowDependencies outside, QWidget *parent = nullptr);
    ~frmMain() override;

    // Start-up: splash, attach to the host, caption, stored settings. The window is shown by
    // the caller when this returns Running.
    LoadResult Load();

    // Each entry is stamped with one reading of the clock, handed to the transcript and the log
    // alike, so that the two never disagree at a minute's turn.
    void SendChatMessage(const QString &sMsg, const QDateTime &when);
    void ShowChatMessage(const QString &text, const QDateTime &when);

signals:
    // The unload step has run; the program ends here.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void LayOut();
    void BuildMenus();
    bool ConnectHost();
    bool HostStep(const std::function<void()> &step, const std::function<void(const HostError &)> &failed);
    bool StartupStep(const std::function<void()> &step);
    void ShowStartupFailure();
    void WriteChatLog(const QStringList &texts, const QDateTime &when);
    void TellLogOutcome(const ChatLog::Outcome &outcome, qsizetype records);
    void ApplySettings();
    void ApplyStoredPosition(std::optional<double> top, std::optional<double> left);
    void SaveSettings();
    void Unload();
    void ProcessReceivedChat(const QStringList &texts, const QDateTime &when);
    void ShowNotice(const QString &notice, bool logged = true);
    void Announce(const QStringList &texts);
    void AskForAttention();
    std::optional<QDateTime> Now() const;
    // The only way to add to the transcript: any number of entries in one edit.
    void AppendToTranscript(const QStringList &entries);
    void BreakAnywhere(bool anywhere);
    qsizetype TranscriptLength() const;
    QString TranscriptText() const;
    double DotsPerInch() const;

    void Form_Activate();
    void tbChatOut_KeyPress(int key);
    bool tbChatOut_Recall(const QKeyEvent &event);
    void cmdSend_Click();
    void tChatReceived_Timer();
    void ELo_Closing();
    void ELo_ChatTextReceived(const QString &sText);
    void ELo_Gone();
    void ELo_Returned();
    void mnuExit_Click();
    void mnuRecordOn_Click();
    void mnuRecordOff_Click();
    void mnuViewLog_Click();
    void mnuClearScreen_Click();
    void mnuSingle_Click();
    void mnuDouble_Click();

    MainWindowDependencies m_outside;
    ChatLog m_log;

    QPlainTextEdit *tbChatIn = nullptr;
    QLineEdit *tbChatOut = nullptr;
    QPushButton *cmdSend = nullptr;
    QTimer *tChatReceived = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuRecord = nullptr;
    QAction *mnuRecordOn = nullptr;
    QAction *mnuRecordOff = nullptr;
    QAction *mnuViewLog = nullptr;
    QAction *mnuClearScreen = nullptr;
    QMenu *mnuSpacing = nullptr;
    QAction *mnuSingle = nullptr;
    QAction *mnuDouble = nullptr;
    QMenu *mnuAnnounce = nullptr;
    QAction *mnuSound = nullptr;
    QAction *mnuReadAloud = nullptr;

    std::unique_ptr<frmSplash> m_splash;
    QString sCallSign;
    // Received texts wait here, oldest first, until the next tick shows and logs them.
    QQueue<QString> m_pendingChat;
    SentLines m_sentLines;
    // Set once the desktop has been asked for the user's attention; activation clears it.
    bool m_attentionAsked = false;
    // Start-up has run to its end and applied the stored choices.
    bool m_started = false;
    bool m_unloaded = false;
    // The host went away without closing, and has not come back.
    bool m_hostGone = false;
    // Records lost since the chat log could last be written.
    qsizetype m_recordsLost = 0;
    // Whether the pane breaks lines anywhere rather than at word boundaries.
    bool m_breaksAnywhere = false;
};
