#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <memory>
#include <utility>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "chat_log/ChatLog.h"
#include "chat_log/LogPath.h"

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Root writes through permission bits, so folders that cannot be written, and disks that fill
// up, are made as small file systems mounted in a mount namespace of this test's own, which
// ends with it.
bool EnterPrivateMounts()
{
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool MakeReadOnly(const QString &folder)
{
    return ::mount(nullptr, qPrintable(folder), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

// Writes into the file until the disk is full.
void FillUp(const QString &path)
{
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(512, 'f');
    while (filler.write(block) > 0) {
    }
}

} // namespace

class tst_ChatLog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QStringList mounted_;

    bool MountSmallDisk(const QString &folder, const char *options)
    {
        if (!QDir().mkpath(folder) || ::mount("tmpfs", qPrintable(folder), "tmpfs", 0, options) != 0)
            return false;
        mounted_.prepend(folder);
        return true;
    }

private slots:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("The chat log's fault tests mount small file systems, which needs root.");
        QVERIFY2(EnterPrivateMounts(), "no mount namespace of the test's own");
    }
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        for (const QString &folder : std::exchange(mounted_, {}))
            ::umount2(qPrintable(folder), MNT_DETACH);
        dir_.reset();
    }

    void recordsAppendAcrossWriters()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("ParloxLog.txt");
        ChatLog(path).Append("one\r\n");
        ChatLog second(path);
        second.Append("two\r\n");
        // Each record is complete on disk as soon as it is written.
        QCOMPARE(ReadAll(path), "one\r\ntwo\r\n");
        second.Append(QString::fromUtf8("ünïcode ✓\r\n"));
        QCOMPARE(ReadAll(path), QString::fromUtf8("one\r\ntwo\r\nünïcode ✓\r\n").toUtf8());
    }

    void missingFolderIsCreated()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data/Parlox/ParloxLog.txt");
        ChatLog(path).Append("x\r\n");
        QCOMPARE(ReadAll(path), "x\r\n");
    }

    void unwritablePlacesLoseTheRecordQuietly()
    {
        QTemporaryDir dir;
        // A log path that is a folder.
        const QString folderPath = dir.filePath("ParloxLog.txt");
        QVERIFY(QDir().mkpath(folderPath));
        ChatLog(folderPath).Append("lost\r\n");
        QVERIFY(QFileInfo(folderPath).isDir());

        // A log path under a plain file, where no folder can be made.
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ChatLog(dir.filePath("blocker/ParloxLog.txt")).Append("lost\r\n");

        // The next record to a good place still goes in.
        const QString good = dir.filePath("good.txt");
        ChatLog(good).Append("kept\r\n");
        QCOMPARE(ReadAll(good), "kept\r\n");
    }

    void fullDiskLosesWholeRecordsOnly()
    {
        const QString disk = dir_->filePath("disk");
        QVERIFY(MountSmallDisk(disk, "size=16k"));
        const QString path = disk + "/ParloxLog.txt";
        const QByteArray first = QByteArray(6000, 'a') + "\r\n";
        ChatLog(path).Append(QString::fromLatin1(first));
        FillUp(disk + "/filler");

        // Part of this record would still fit: none of it may stay.
        ChatLog(path).Append(QString(6000, 'b') + "\r\n");
        QCOMPARE(ReadAll(path), first);

        // Once there is room again the next record starts on a line of its own.
        QVERIFY(QFile::remove(disk + "/filler"));
        ChatLog(path).Append("next\r\n");
        QCOMPARE(ReadAll(path), first + "next\r\n");
    }

    void logLivesBesideTheProgramOrInTheUsersDataFolder_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<bool>("beside");
        QTest::newRow("a folder that can be written") << "writable" << true;
        QTest::newRow("a log there that can be appended to") << "writable-with-log" << true;
        QTest::newRow("missing") << "gone" << false;
        QTest::newRow("a file, not a folder") << "file" << false;
        QTest::newRow("read-only") << "read-only" << false;
        QTest::newRow("read-only, with a log of earlier runs") << "read-only-with-log" << false;
        QTest::newRow("a link to a read-only folder") << "link-to-read-only" << false;
    }
    void logLivesBesideTheProgramOrInTheUsersDataFolder()
    {
        QFETCH(QString, programFolder);
        QFETCH(bool, beside);
        QTemporaryDir data;
        const QString program = dir_->filePath(programFolder);
        const auto makeLog = [](const QString &folder) {
            QFile log(folder + "/ParloxLog.txt");
            return log.open(QIODevice::WriteOnly) && log.write("earlier\r\n") > 0;
        };
        if (programFolder.startsWith("writable"))
            QVERIFY(QDir().mkpath(program));
        if (programFolder == "writable-with-log")
            QVERIFY(makeLog(program));
        if (programFolder == "file")
            QVERIFY(QFile(program).open(QIODevice::WriteOnly));
        if (programFolder.startsWith("read-only")) {
            QVERIFY(MountSmallDisk(program, "size=16k"));
            if (programFolder.endsWith("with-log"))
                QVERIFY(makeLog(program));
            QVERIFY(MakeReadOnly(program));
        }
        if (programFolder == "link-to-read-only") {
            QVERIFY(MountSmallDisk(dir_->filePath("target"), "size=16k,ro"));
            QVERIFY(QFile::link(dir_->filePath("target"), program));
        }
        const QStringList before = QDir(program).entryList(QDir::Files);

        const QString path = LogFilePath(program, data.path());

        QCOMPARE(path, beside ? program + "/ParloxLog.txt" : data.filePath("ParloxLog.txt"));
        // Deciding leaves the folder as it was: no log where there was none, no scratch file.
        QCOMPARE(QDir(program).entryList(QDir::Files), before);
    }
};

QTEST_APPLESS_MAIN(tst_ChatLog)
#include "tst_ChatLog.moc"
