#include <QTest>

#include "core/SentLines.h"

// The walk through sent lines, with the box played by a string: each step is a key (Up, Down),
// a send of what the box holds, or text typed over the box ("=text").
class tst_SentLines : public QObject
{
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("boxAfterEachStep");
        QTest::newRow("newest first, stops at both ends, the draft comes back")
            << " draft " << QStringList{"Up", "Up", "Up", "Up", "Down", "Down", "Down", "Down"}
            << QStringList{"c", "b", "a", "a", "b", "c", " draft ", " draft "};
        QTest::newRow("an edited line becomes the draft, the walk starts again")
            << "" << QStringList{"Up", "Up", "=b!", "Down", "Up", "Down"}
            << QStringList{"c", "b", "b!", "b!", "c", "b!"};
        QTest::newRow("a sent line is newest, the walk starts afresh")
            << "old" << QStringList{"Up", "=c2", "Send", "Up", "Up", "Down", "Down"}
            << QStringList{"c", "c2", "", "c2", "c", "c2", ""};
    }
    void walk()
    {
        QFETCH(QString, box);
        QFETCH(QStringList, steps);
        SentLines lines;
        for (const char *line : {"a", "b", "c"})
            lines.Remember(QString::fromLatin1(line));
        QStringList seen;
        for (const QString &step : steps) {
            if (step == "Up")
                box = lines.Older(box).value_or(box);
            else if (step == "Down")
                box = lines.Newer(box).value_or(box);
            else if (step == "Send")
                lines.Remember(std::exchange(box, QString()));
            else
                box = step.mid(1);
            seen.append(box);
        }
        QTEST(seen, "boxAfterEachStep");
    }
};

QTEST_APPLESS_MAIN(tst_SentLines)
#include "tst_SentLines.moc"
