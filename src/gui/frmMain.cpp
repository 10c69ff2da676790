#include "gui/frmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextDocument>
#include <QTextCursor>

#include <limits>
#include <utility>

#include "core/Announcer.h"
#include "core/Caption.h"
#include "core/LogRecord.h"
#include "core/Notices.h"
#include "core/OutgoingLine.h"
#include "core/StoredChoices.h"
#include "core/Transcript.h"
#include "core/WindowPlacement.h"
#include "gui/frmSplash.h"
#include "host/HostBinding.h"
#include "host/HostError.h"

namespace {

// The fixed layout, in twips.
constexpr QSize kClientArea(6990, 5175);
constexpr QPoint kFirstClientPlace(2535, 2025);
constexpr QRect kChatInPlace(0, 0, 6975, 4635);
constexpr QRect kChatOutPlace(0, 4740, 6075, 315);
constexpr QRect kSendPlace(6120, 4740, 855, 315);

constexpr int kChatTickMs = 500;
constexpr int kFirstWaitSeconds = 3;
constexpr int kHostWaitSeconds = 4;

const QString kTitle = QStringLiteral("Parlox");
const QString kFailureText = QStringLiteral("Can Not Find EchoLink.\r\nParlox will not work without EchoLink.");

QFont ControlFont()
{
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

QAction *AddCheckItem(QMenu *menu, const QString &name, const QString &caption, bool checked)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

QMenu *AddMenu(QMenuBar *bar, const QString &name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

} // namespace

frmMain::frmMain(MainWindowDependencies outside, QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                      | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_outside(std::move(outside)), m_log(m_outside.logPath)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kTitle);
    setWindowIcon(QIcon(QStringLiteral(":/org.parlox.Parlox.png")));
    LayOut();
    BuildMenus();

    tChatReceived = new QTimer(this);
    tChatReceived->setObjectName(QStringLiteral("tChatReceived"));
    tChatReceived->setInterval(kChatTickMs);
    connect(tChatReceived, &QTimer::timeout, this, &frmMain::tChatReceived_Timer);

    connect(&m_outside.host, &HostBinding::Closing, this, &frmMain::ELo_Closing);
    connect(&m_outside.host, &HostBinding::ChatTextReceived, this, &frmMain::ELo_ChatTextReceived);
    connect(&m_outside.host, &HostBinding::Gone, this, &frmMain::ELo_Gone);
    connect(&m_outside.host, &HostBinding::Returned, this, &frmMain::ELo_Returned);
}

frmMain::~frmMain() = default;

void frmMain::LayOut()
{
    const double dpi = DotsPerInch();
    auto *client = new QWidget(this);
    client->setFixedSize(TwipsToPixels(QRect(QPoint(), kClientArea), dpi).size());
    setCentralWidget(client);

    tbChatIn = new QPlainTextEdit(client);
    tbChatIn->setObjectName(QStringLiteral("tbChatIn"));
    tbChatIn->setAccessibleName(QStringLiteral("Chat transcript"));
    tbChatIn->setGeometry(TwipsToPixels(kChatInPlace, dpi));
    tbChatIn->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    tbChatIn->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tbChatIn->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    tbChatIn->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    tbChatIn->setTabChangesFocus(true);

    tbChatOut = new QLineEdit(client);
    tbChatOut->setObjectName(QStringLiteral("tbChatOut"));
    tbChatOut->setAccessibleName(QStringLiteral("Chat line to send"));
    tbChatOut->setGeometry(TwipsToPixels(kChatOutPlace, dpi));
    // The box has no limit of its own (Qt's default would cut a pasted line at 32767 characters).
    tbChatOut->setMaxLength(std::numeric_limits<int>::max());
    tbChatOut->installEventFilter(this);

    cmdSend = new QPushButton(QStringLiteral("Send"), client);
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    cmdSend->setAccessibleName(QStringLiteral("Send"));
    cmdSend->setGeometry(TwipsToPixels(kSendPlace, dpi));
    cmdSend->setAutoDefault(false);
    cmdSend->setDefault(false);
    connect(cmdSend, &QPushButton::clicked, this, &frmMain::cmdSend_Click);

    for (QWidget *control :
         {static_cast<QWidget *>(tbChatIn), static_cast<QWidget *>(tbChatOut), static_cast<QWidget *>(cmdSend)})
        control->setFont(ControlFont());
    setTabOrder(cmdSend, tbChatOut);
    setTabOrder(tbChatOut, tbChatIn);
    setTabOrder(tbChatIn, cmdSend);
}

void frmMain::BuildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    bar->setNativeMenuBar(false);
    // F10 takes the keyboard to the menu bar and opens the first menu, as desktops have it; the
    // arrow keys go on from there, past the commands on the bar too. Only Alt, pressed and let go,
    // puts the menu bar in its keyboard mode, so F10 does the same.
    connect(new QShortcut(Qt::Key_F10, this), &QShortcut::activated, bar, [bar] {
        // An Alt key event carries no Alt of its own: QKeyEvent adds it.
        QKeyEvent altDown(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
        QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(bar->window(), &altDown);
        QCoreApplication::sendEvent(bar->window(), &altUp);
        QCoreApplication::sendEvent(bar, &down);
    });

    mnuFile = AddMenu(bar, QStringLiteral("mnuFile"), QStringLiteral("File"));
    mnuExit = mnuFile->addAction(QStringLiteral("Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

    mnuRecord = AddMenu(bar, QStringLiteral("mnuRecord"), QStringLiteral("Log To File"));
    mnuRecordOn = AddCheckItem(mnuRecord, QStringLiteral("mnuRecordOn"), QStringLiteral("On"), false);
    mnuRecordOff = AddCheckItem(mnuRecord, QStringLiteral("mnuRecordOff"), QStringLiteral("Off"), true);

    mnuViewLog = bar->addAction(QStringLiteral("View Log"));
    mnuViewLog->setObjectName(QStringLiteral("mnuViewLog"));
    mnuClearScreen = bar->addAction(QStringLiteral("Clear Screen"));
    mnuClearScreen->setObjectName(QStringLiteral("mnuClearScreen"));

    mnuSpacing = AddMenu(bar, QStringLiteral("mnuSpacing"), QStringLiteral("Spacing"));
    mnuSingle = AddCheckItem(mnuSpacing, QStringLiteral("mnuSingle"), QStringLiteral("Single"), false);
    mnuDouble = AddCheckItem(mnuSpacing, QStringLiteral("mnuDouble"), QStringLiteral("Double"), true);

    // Each of the two stands on its own; start-up sets them from the stored choices.
    mnuAnnounce = AddMenu(bar, QStringLiteral("mnuAnnounce"), QStringLiteral("Announce"));
    mnuSound = AddCheckItem(mnuAnnounce, QStringLiteral("mnuSound"), QStringLiteral("Sound"), false);
    mnuReadAloud = AddCheckItem(mnuAnnounce, QStringLiteral("mnuReadAloud"), QStringLiteral("Read Aloud"), false);

    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuRecordOn, &QAction::triggered, this, &frmMain::mnuRecordOn_Click);
    connect(mnuRecordOff, &QAction::triggered, this, &frmMain::mnuRecordOff_Click);
    connect(mnuViewLog, &QAction::triggered, this, &frmMain::mnuViewLog_Click);
    connect(mnuClearScreen, &QAction::triggered, this, &frmMain::mnuClearScreen_Click);
    connect(mnuSingle, &QAction::triggered, this, &frmMain::mnuSingle_Click);
    connect(mnuDouble, &QAction::triggered, this, &frmMain::mnuDouble_Click);

    // The window's size is its fixed client area plus the menu bar; nothing resizes it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
    // The first place is given for the client area; the menu bar, frame and title bar lie around it.
    const QPoint client = TwipsToPixels(QRect(kFirstClientPlace, QSize()), DotsPerInch()).topLeft();
    setGeometry(QRect(client - centralWidget()->pos(), size()));
}

double frmMain::DotsPerInch() const
{
    return screen()->logicalDotsPerInch();
}

// ---- Start-up and shut-down --------------------------------------------------------------

frmMain::LoadResult frmMain::Load()
{
    m_splash = std::make_unique<frmSplash>();
    m_splash->show();
    m_outside.wait(kFirstWaitSeconds);

    if (!ConnectHost())
        return m_unloaded ? LoadResult::Closed : LoadResult::Failed;
    m_splash.reset();

    QString hostCallSign;
    if (!StartupStep([&] { hostCallSign = m_outside.host.ReadStationCall(); }))
        return m_unloaded ? LoadResult::Closed : LoadResult::Failed;
    sCallSign = BaseCallSign(hostCallSign);
    setWindowTitle(WindowCaption(sCallSign));
    ApplySettings();
    return LoadResult::Running;
}

bool frmMain::ConnectHost()
{
    const bool attached = StartupStep([&] { m_outside.host.CreateEventObject(); })
        && StartupStep([&] { m_outside.wait(kHostWaitSeconds); })
        && StartupStep([&] { m_outside.host.CreateSetupConfig(); })
        && StartupStep([&] { m_outside.host.CreateSysopConfig(); });
    if (attached)
        tChatReceived->start();
    return attached;
}

// The host's events come in during every wait once the event object exists, and with COM also
// during every call to the host. A host that announced its closing meanwhile has had the unload
// step run: the steps go no further, and nothing is said of a failure then.
bool frmMain::HostStep(const std::function<void()> &step, const std::function<void(const HostError &)> &failed)
{
    try {
        step();
    } catch (const HostError &error) {
        if (!m_unloaded)
            failed(error);
        return false;
    }
    return !m_unloaded;
}

bool frmMain::StartupStep(const std::function<void()> &step)
{
    return HostStep(step, [this](const HostError &) { ShowStartupFailure(); });
}

void frmMain::ShowStartupFailure()
{
    m_outside.showMessage(QMessageBox::Critical, kTitle, kFailureText);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Unload();
    event->accept();
}

void frmMain::Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // A closing host during start-up must not replace the user's stored choices with the
    // laid-out ones, so settings are saved only once they have been applied.
    if (m_started)
        SaveSettings();
    tChatReceived->stop();
    m_pendingChat.clear();
    m_outside.host.Release();
    emit Unloaded();
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmMain::Form_Activate()
{
    m_attentionAsked = false;
    tbChatOut->setFocus();
}

void frmMain::mnuExit_Click()
{
    close();
}

void frmMain::ELo_Closing()
{
    close();
}

// During start-up a host that is gone makes its next step fail, and the failure box says so.
void frmMain::ELo_Gone()
{
    if (!m_started || m_hostGone || m_unloaded)
        return;
    m_hostGone = true;
    // What the host said before it went comes first.
    tChatReceived_Timer();
    ShowNotice(HostGoneNotice(m_outside.host.HearsReturn()));
}

// The start-up's own steps, without its waits and splash: the host is running already.
void frmMain::ELo_Returned()
{
    if (!m_hostGone || m_unloaded)
        return;
    QString hostCallSign;
    const auto failed = [this](const HostError &error) {
        ShowNotice(HostBackFailedNotice(error.reason()));
    };
    const bool attached = HostStep([&] { m_outside.host.CreateEventObject(); }, failed)
        && HostStep([&] { m_outside.host.CreateSetupConfig(); }, failed)
        && HostStep([&] { m_outside.host.CreateSysopConfig(); }, failed)
        && HostStep([&] { hostCallSign = m_outside.host.ReadStationCall(); }, failed);
    if (!attached)
        return;
    m_hostGone = false;
    sCallSign = BaseCallSign(hostCallSign);
    setWindowTitle(WindowCaption(sCallSign));
    ShowNotice(HostBackNotice());
}

// ---- Stored settings ---------------------------------------------------------------------

void frmMain::ApplySettings()
{
    const StoredChoices stored = StoredChoices::Load(m_outside.settings, QLocale());
    if (stored.logging) {
        mnuRecordOn->setChecked(*stored.logging);
        mnuRecordOff->setChecked(!*stored.logging);
    }
    if (stored.doubleSpacing) {
        mnuDouble->setChecked(*stored.doubleSpacing);
        mnuSingle->setChecked(!*stored.doubleSpacing);
    }
    ApplyStoredPosition(stored.top, stored.left);
    mnuSound->setChecked(stored.sound.value_or(false));
    // A blind user who has just installed Parlox hears chat without first finding the menu.
    mnuReadAloud->setChecked(stored.readAloud ? *stored.readAloud : m_outside.announcer.ScreenReaderRunning());
    m_started = true;
}

void frmMain::ApplyStoredPosition(std::optional<double> top, std::optional<double> left)
{
    if (!top && !left)
        return;

    // The stored place is the outer corner, frame and title bar included; moving a window that
    // is not made yet places its frame there, whatever the frame turns out to be. A coordinate
    // that is not stored keeps its laid-out outer value, which needs the frame: the window is
    // made first, and the platform says what it knows of the frame by then (Windows all of it;
    // an X11 window manager nothing until it has framed the window, so there the stored
    // coordinate lands inside the frame's border).
    if (!top || !left)
        create();
    const double dpi = DotsPerInch();
    QPoint place = frameGeometry().topLeft();
    if (top)
        place.setY(TwipsToPixels(*top, dpi));
    if (left)
        place.setX(TwipsToPixels(*left, dpi));

    // A place that leaves the title bar on no screen would strand the window out of reach.
    const QRect titleBar(place, QSize(frameGeometry().width(), style()->pixelMetric(QStyle::PM_TitleBarHeight)));
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    if (TitleBarReachable(titleBar, screens))
        move(place);
}

void frmMain::SaveSettings()
{
    StoredChoices choices{mnuRecordOn->isChecked(), mnuDouble->isChecked(),   std::nullopt, std::nullopt,
                          mnuSound->isChecked(),    mnuReadAloud->isChecked()};
    if (!isMinimized()) {
        const double dpi = DotsPerInch();
        choices.top = PixelsToTwips(frameGeometry().top(), dpi);
        choices.left = PixelsToTwips(frameGeometry().left(), dpi);
    }
    choices.Save(m_outside.settings, QLocale());
}

// ---- Received chat -----------------------------------------------------------------------

void frmMain::ELo_ChatTextReceived(const QString &sText)
{
    m_pendingChat.enqueue(sText);
}

// All the texts that came since the last tick go in at once, stamped with one reading of the
// clock: a burst of thousands is one edit of the pane and one opening of the log.
void frmMain::tChatReceived_Timer()
{
    // An empty text cannot be told from nothing received.
    m_pendingChat.removeAll(QString());
    if (m_pendingChat.isEmpty())
        return;
    // Texts that cannot be stamped wait and are offered again next tick.
    const std::optional<QDateTime> now = Now();
    if (!now)
        return;
    const QStringList texts(m_pendingChat.cbegin(), m_pendingChat.cend());
    m_pendingChat.clear();
    ProcessReceivedChat(texts, *now);
}

void frmMain::ProcessReceivedChat(const QStringList &texts, const QDateTime &when)
{
    QStringList entries;
    entries.reserve(texts.size());
    for (const QString &text : texts)
        entries.append(TranscriptEntry(text, when.time(), mnuDouble->isChecked(), QLocale()));
    AppendToTranscript(entries);
    WriteChatLog(texts, when);
    Announce(texts);
}

// Parlox's own word on what happened, in the transcript, the log (but for the log's own failure)
// and announced, so that nobody believes chat goes on when it does not.
void frmMain::ShowNotice(const QString &notice, bool logged)
{
    const std::optional<QDateTime> now = Now();
    if (!now)
        return;
    AppendToTranscript({TranscriptNotice(notice, now->time(), mnuDouble->isChecked(), QLocale())});
    if (logged)
        WriteChatLog({QStringLiteral("*** ") + notice}, *now);
    Announce({QStringLiteral("Parlox: ") + notice});
}

void frmMain::Announce(const QStringList &texts)
{
    m_outside.announcer.Announce(texts, mnuReadAloud->isChecked(), mnuSound->isChecked());
    AskForAttention();
}

// The desktop keeps the window marked until it is activated, so a text shown while the user
// looks elsewhere asks once, and the texts after it until then do not ask again.
void frmMain::AskForAttention()
{
    if (isActiveWindow() || m_attentionAsked)
        return;
    m_attentionAsked = true;
    m_outside.alert(this);
}

std::optional<QDateTime> frmMain::Now() const
{
    // The clock comes from outside; its failure must not escape the slot that asked it.
    try {
        return m_outside.clock();
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

// ---- Transcript --------------------------------------------------------------------------

qsizetype frmMain::TranscriptLength() const
{
    // Counted as if every line break were CR LF: each block but the last ends in one.
    const QTextDocument *document = tbChatIn->document();
    return document->characterCount() - 1 + document->blockCount() - 1;
}

QString frmMain::TranscriptText() const
{
    return tbChatIn->document()->toRawText().replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
}

void frmMain::ShowChatMessage(const QString &text, const QDateTime &when)
{
    AppendToTranscript({TranscriptEntry(text, when.time(), mnuDouble->isChecked(), QLocale())});
}

// Whatever the user selected or scrolled to, the newest entry ends up in view.
void frmMain::AppendToTranscript(const QStringList &entries)
{
    const qsizetype length = TranscriptLength();
    const TranscriptChange change = AppendUnderCap(length, entries);
    if (change.keep == length) {
        BreakAnywhere(m_breaksAnywhere || NeedsBreakAnywhere(change.appended));
        QTextCursor end(tbChatIn->document());
        end.movePosition(QTextCursor::End);
        end.insertText(change.appended);
    } else {
        const QString text = TranscriptText().right(change.keep) + change.appended;
        BreakAnywhere(NeedsBreakAnywhere(text));
        tbChatIn->setPlainText(text);
    }
    QTextCursor end(tbChatIn->document());
    end.movePosition(QTextCursor::End);
    tbChatIn->setTextCursor(end);
    tbChatIn->ensureCursorVisible();
}

// Lines break at word boundaries, unless the pane holds a run so long that laying it out so
// would stall the window; set before the text goes in, so that it is laid out only once.
void frmMain::BreakAnywhere(bool anywhere)
{
    if (anywhere == m_breaksAnywhere)
        return;
    m_breaksAnywhere = anywhere;
    tbChatIn->setWordWrapMode(anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void frmMain::mnuClearScreen_Click()
{
    tbChatIn->clear();
    BreakAnywhere(false);
}

// The two check-mark pairs: the clicked item has already flipped its own mark; its partner
// takes the other one, so every click switches the choice.
void frmMain::mnuSingle_Click()
{
    mnuDouble->setChecked(!mnuSingle->isChecked());
}

void frmMain::mnuDouble_Click()
{
    mnuSingle->setChecked(!mnuDouble->isChecked());
}

void frmMain::mnuRecordOn_Click()
{
    mnuRecordOff->setChecked(!mnuRecordOn->isChecked());
}

void frmMain::mnuRecordOff_Click()
{
    mnuRecordOn->setChecked(!mnuRecordOff->isChecked());
}

// ---- Chat log ----------------------------------------------------------------------------

void frmMain::WriteChatLog(const QStringList &texts, const QDateTime &when)
{
    if (mnuRecordOff->isChecked())
        return;
    QStringList records;
    records.reserve(texts.size());
    for (const QString &text : texts)
        records.append(LogRecord(text, when, QLocale()));
    TellLogOutcome(m_log.Append(records), records.size());
}

// Logging stays on and every record tries afresh; the user hears once that records are being
// lost, and once that they are written again, with how many are missing.
void frmMain::TellLogOutcome(const ChatLog::Outcome &outcome, qsizetype records)
{
    if (m_recordsLost > 0 && outcome.lost < records) {
        // The notice is logged too, and comes back here: the count is settled first.
        const qsizetype missing = std::exchange(m_recordsLost, outcome.lost);
        ShowNotice(LogBackNotice(missing));
        return;
    }
    if (outcome.lost > 0 && m_recordsLost == 0) {
        qWarning("The chat log %s cannot be written: %s", qPrintable(m_log.path()), qPrintable(outcome.reason));
        ShowNotice(LogFailingNotice(outcome.reason), false);
    }
    m_recordsLost += outcome.lost;
}

void frmMain::mnuViewLog_Click()
{
    m_outside.openFile(m_log.path());
}

// ---- Outgoing chat -----------------------------------------------------------------------

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tbChatOut && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (tbChatOut_Recall(*key))
            return true;
        tbChatOut_KeyPress(key->key());
    }
    // Any other key goes on to the box, which is single-line and adds no line break.
    return QMainWindow::eventFilter(watched, event);
}

// Up and Down walk through the lines sent this run; a single-line box has no use of its own
// for them.
bool frmMain::tbChatOut_Recall(const QKeyEvent &event)
{
    if (event.modifiers() & ~Qt::KeypadModifier)
        return false;
    std::optional<QString> line;
    if (event.key() == Qt::Key_Up)
        line = m_sentLines.Older(tbChatOut->text());
    else if (event.key() == Qt::Key_Down)
        line = m_sentLines.Newer(tbChatOut->text());
    else
        return false;
    if (line)
        tbChatOut->setText(*line);
    return true;
}

void frmMain::tbChatOut_KeyPress(int key)
{
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !tbChatOut->text().isEmpty())
        cmdSend->click();
}

void frmMain::cmdSend_Click()
{
    const QString line = TrimSpaces(tbChatOut->text());
    if (line.isEmpty()) {
        tbChatOut->clear();
        tbChatOut->setFocus();
        return;
    }
    // The host's objects are gone with it: nothing to wait for.
    if (m_hostGone) {
        m_outside.showMessage(QMessageBox::Warning, kTitle, SendFailureText(HostGoneReason(), false));
        return;
    }
    // Without a time stamp the line is not sent; it stays in the box.
    const std::optional<QDateTime> now = Now();
    if (!now)
        return;
    try {
        SendChatMessage(line, *now);
    } catch (const HostError &error) {
        // The line stays in the box, so nothing typed is lost; the user may send it again.
        m_outside.showMessage(QMessageBox::Warning, kTitle,
                              SendFailureText(error.reason(), error.outcome() == HostError::Outcome::Unknown));
        return;
    }
    m_sentLines.Remember(line);
    ShowChatMessage(sCallSign + QLatin1Char('>') + line, *now);
    tbChatOut->clear();
    tbChatOut->setFocus();
}

void frmMain::SendChatMessage(const QString &sMsg, const QDateTime &when)
{
    m_outside.host.PostChatLine(sMsg);
    WriteChatLog({sCallSign + QLatin1Char('>') + sMsg}, when);
}
