#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "core/ChatLog.h"
#include "core/LogPath.h"

// Root writes through permission bits, so folders that cannot be written, and disks that fill up,
// are small file systems mounted in a mount namespace of this test's own, which ends with it.
class tst_ChatLog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static bool Mount(const QString &folder)
    {
        return QDir().mkpath(folder) && ::mount("tmpfs", qPrintable(folder), "tmpfs", 0, "size=16k") == 0;
    }
    static QByteArray Read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("The chat log's tests mount small file systems, which needs root.");
        QVERIFY(::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0);
        // Every mount of the test lies under this one, which takes them all along when it goes.
        QVERIFY(Mount(m_dir.path()));
    }
    void cleanupTestCase() { ::umount2(qPrintable(m_dir.path()), MNT_DETACH); }

    // Each record is whole on disk as soon as it is written, in a folder made for it if need be;
    // on a full disk a record that does not fit is not there at all, the system's reason is
    // given, and the next one still tries, on a line of its own.
    void recordsAreWholeOrNotThere()
    {
        const QString disk = m_dir.filePath("disk"), path = disk + "/Parlox/ParloxLog.txt";
        QVERIFY(Mount(disk));
        const QByteArray first = "ünïcode ✓\r\n";
        QCOMPARE(ChatLog(path).Append({QString::fromUtf8(first)}).lost, 0);
        QCOMPARE(Read(path), first);
        QFile filler(disk + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(512, 'f')) > 0) {}
        const ChatLog::Outcome full = ChatLog(path).Append({QString(6000, u'b') + "\r\n", "c\r\n"});
        QCOMPARE(full.lost, 1);
        QCOMPARE(full.reason, "No space left on device");
        QCOMPARE(Read(path), first + "c\r\n");
        QVERIFY(filler.remove());
        ChatLog(path).Append({"next\r\n"});
        QCOMPARE(Read(path), first + "c\r\nnext\r\n");
    }

    // The log lives beside the program where it can be written there (which only trying tells),
    // else in the user's data folder; deciding leaves the program's folder as it was.
    void logFolder()
    {
        const QTemporaryDir data;
        const auto chosen = [&](const QString &program) {
            const QStringList before = QDir(program).entryList(QDir::Files);
            const QString folder = QFileInfo(LogFilePath(program, data.path())).path();
            return QDir(program).entryList(QDir::Files) == before ? folder : "a file left in " + program;
        };
        const QString writable = m_dir.filePath("writable"), file = m_dir.filePath("a file");
        const QString readOnly = m_dir.filePath("read-only, with a log of earlier runs");
        QVERIFY(QDir().mkpath(writable) && QFile(file).open(QIODevice::WriteOnly) && Mount(readOnly));
        ChatLog(readOnly + "/ParloxLog.txt").Append({"earlier\r\n"});
        QVERIFY(::mount(nullptr, qPrintable(readOnly), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0);
        QCOMPARE(chosen(writable), writable);
        QCOMPARE(chosen(file), data.path());
        QCOMPARE(chosen(readOnly), data.path());
    }
};

QTEST_APPLESS_MAIN(tst_ChatLog)
#include "tst_ChatLog.moc"
