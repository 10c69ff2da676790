#pragma once

#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "Rig.h"
#include "core/Transcript.h"

inline constexpr int kPaintMs = 10;

// Runs one tick of the window's chat timer now, as if its 500 ms had passed.
inline void TickOnce(frmMain &window)
{
    QMetaObject::invokeMethod(window.findChild<QTimer *>(QStringLiteral("tChatReceived")), "timeout");
}

// Hands the window `lines` received texts, `perTick` of them between two ticks, and lets it
// paint after each tick as the running program would. Each text ends in its number, counted
// from `first`.
inline void ReceiveInTicks(Rig &rig, const QString &text, int first, int lines, int perTick)
{
    for (int sent = 0; sent < lines;) {
        for (int i = 0; i < perTick && sent < lines; ++i, ++sent)
            emit rig.ChatTextReceived(QStringLiteral("%1 %2").arg(text).arg(first + sent));
        TickOnce(*rig.window);
        // Painting waits for the window's next update request, which comes from a timer: a
        // bare processEvents() would never paint, and the unpainted region would pile up.
        QTest::qWait(kPaintMs);
    }
}

// The obvious alternative to the capped transcript: the same entry into a plain-text box that
// keeps everything.
inline void AppendUnbounded(QPlainTextEdit &pane, const QString &text)
{
    QTextCursor end(pane.document());
    end.movePosition(QTextCursor::End);
    end.insertText(TranscriptEntry(text, QTime(14, 5), true, QLocale()));
    pane.setTextCursor(end);
    pane.ensureCursorVisible();
}
