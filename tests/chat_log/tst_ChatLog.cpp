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

} // namespace

class tst_ChatLog : public QObject
{
    Q_OBJECT

private slots:
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

    void logLivesBesideTheProgramOrInTheUsersDataFolder()
    {
        QTemporaryDir program;
        QTemporaryDir data;
        QCOMPARE(LogFilePath(program.path(), data.path()), program.filePath("ParloxLog.txt"));

        // A folder that cannot be written (root writes anywhere, so a missing one stands in).
        QCOMPARE(LogFilePath(program.filePath("gone"), data.path()), data.filePath("ParloxLog.txt"));
    }
};

QTEST_APPLESS_MAIN(tst_ChatLog)
#include "tst_ChatLog.moc"
