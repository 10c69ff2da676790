#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QMainWindow>
#include <QQueue>
#include <QTimer>

#include "chat_log/ChatLog.h"
#include "main_window/Outside.h"
#include "main_window/SentLines.h"

class QAction;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class frmSplash;

// The one working window: start-up against the host, the transcript, the entry line, the chat
// log choice and the stored settings. Everything runs on the user-interface thread; host events
// arrive as signals and only park their text for the next tick.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    enum class LoadResult { Running, Failed, Closed };

    explicit frmMain(Outside outside, QWidget *parent = nullptr);
    ~frmMain() override;

    // Start-up: splash, attach to the host, caption, stored settings. The window is shown by
    // the caller when this returns Running.
    LoadResult Load();

    // Each entry is stamped with one reading of the clock, handed to the transcript and the log
    // alike, so that the two never disagree at a minute's turn.
    void SendChatMessage(const QString &sMsg, const QDateTime &when);
    void ShowChatMessage(const QString &text, const QDateTime &when);
    void WriteChatLog(const QString &text, const QDateTime &when);

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
    bool StartupStep(const std::function<void()> &step);
    void ShowStartupFailure();
    void ApplySettings();
    void ApplyStoredPosition(std::optional<double> top, std::optional<double> left);
    void SaveSettings();
    void Unload();
    void ProcessReceivedChat(QString text, const QDateTime &when);
    void AskForAttention();
    std::optional<QDateTime> Now() const;
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
    void mnuExit_Click();
    void mnuRecordOn_Click();
    void mnuRecordOff_Click();
    void mnuViewLog_Click();
    void mnuClearScreen_Click();
    void mnuSingle_Click();
    void mnuDouble_Click();

    Outside outside_;
    ChatLog log_;

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

    std::unique_ptr<frmSplash> splash_;
    QString sCallSign;
    // Received texts wait here, oldest first, until the next tick shows and logs them.
    QQueue<QString> sPendingChat;
    SentLines sentLines_;
    // Set once the desktop has been asked for the user's attention; activation clears it.
    bool attentionAsked_ = false;
    bool settingsApplied_ = false;
    bool unloaded_ = false;
};
