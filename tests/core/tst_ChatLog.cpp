#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/ChatLog.h"

// The disk that fills up is a small file system mounted in a mount namespace of this test's own,
// which ends with it.
class tst_ChatLog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_disk;

private slots:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("The chat log's test mounts a small file system, which needs root.");
        QVERIFY(::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0);
        QVERIFY(::mount("tmpfs", qPrintable(m_disk.path()), "tmpfs", 0, "size=16k") == 0);
    }
    void cleanupTestCase() { ::umount2(qPrintable(m_disk.path()), MNT_DETACH); }

    // Each record is whole on disk as soon as it is written, in a folder made for it if need be;
    // on a full disk a record that does not fit is not there at all, the system's reason is
    // given, and the next one in the batch still goes in.
    void recordsAreWholeOrNotThere()
    {
        const QString path = m_disk.filePath("Parlox/ParloxLog.txt");
        const QByteArray first = "ünïcode ✓\r\n";
        ChatLog(path).Append({QString::fromUtf8(first)});
        QFile filler(m_disk.filePath("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(512, 'f')) > 0) {}
        const ChatLog::Outcome full = ChatLog(path).Append({QString(6000, u'b') + "\r\n", "c\r\n"});
        QCOMPARE(full.lost, 1);
        QCOMPARE(full.reason, "No space left on device");
        QFile log(path);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(), first + "c\r\n");
    }
};

QTEST_APPLESS_MAIN(tst_ChatLog)
#include "tst_ChatLog.moc"
