#include "core/ChatLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray Encoded(const QString &record)
{
#ifdef Q_OS_WIN
    return record.toLocal8Bit();
#else
    return record.toUtf8();
#endif
}

// Writes one record at the end of the file, or leaves the file as it was and gives the reason.
QString WriteWhole(QFile &file, const QByteArray &bytes)
{
    const qint64 start = file.size();
    const qint64 written = file.write(bytes);
    if (written == bytes.size())
        return {};
    // A short write reports no error of its own; writing the rest makes the system name it (a
    // full disk, for one).
    if (written >= 0)
        file.write(bytes.mid(written));
    const QString reason = file.errorString();
    // A piece of a record would glue the next record onto itself.
    file.resize(start);
    return reason;
}

} // namespace

ChatLog::ChatLog(QString path) : m_path(std::move(path)) {}

ChatLog::Outcome ChatLog::Append(const QStringList &records) const
{
    // An installed copy logs into the user's data folder, which may not exist yet.
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // Unbuffered, so that a full disk shows in the write itself and not later, unseen, at close.
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return {records.size(), file.errorString()};
    QByteArray bytes;
    QList<qsizetype> ends;
    for (const QString &record : records) {
        bytes += Encoded(record);
        ends.append(bytes.size());
    }
    if (WriteWhole(file, bytes).isNull())
        return {};
    // Not all of it fitted: record by record, so that each one that fits is kept.
    Outcome outcome;
    qsizetype start = 0;
    for (const qsizetype end : ends) {
        const QString reason = WriteWhole(file, bytes.sliced(start, end - start));
        start = end;
        if (reason.isNull())
            continue;
        if (outcome.lost++ == 0)
            outcome.reason = reason;
    }
    return outcome;
}
