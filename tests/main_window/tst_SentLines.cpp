#include <QTest>

#include "main_window/SentLines.h"

// The walk through sent lines, with the box played by a string: each step is a key (Up, Down),
// a send of what the box holds, or text the user typed over the box ("=text").
class tst_SentLines : public QObject
{
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("boxAfterEachStep");

        QTest::newRow("nothing sent yet") << QStringList() << "draft" << QStringList{"Up", "Down"}
                                          << QStringList{"draft", "draft"};
        QTest::newRow("newest first, stops at both ends")
            << QStringList{"a", "b", "c"} << "" << QStringList{"Up", "Up", "Up", "Up", "Down", "Down", "Down", "Down"}
            << QStringList{"c", "b", "a", "a", "b", "c", "", ""};
        QTest::newRow("the draft comes back as it was")
            << QStringList{"a", "b"} << "  half typed " << QStringList{"Up", "Up", "Down", "Down"}
            << QStringList{"b", "a", "b", "  half typed "};
        QTest::newRow("an edited line becomes the draft, the walk starts again")
            << QStringList{"a", "b", "c"} << "" << QStringList{"Up", "Up", "=b!", "Down", "Up", "Down"}
            << QStringList{"c", "b", "b!", "b!", "c", "b!"};
        QTest::newRow("a sent line is newest, the walk and the draft start afresh")
            << QStringList{"a", "b"} << "old" << QStringList{"Up", "Up", "Send", "Up", "Up", "Down", "Down"}
            << QStringList{"b", "a", "", "a", "b", "a", ""};
    }
    void walk()
    {
        QFETCH(QStringList, sent);
        QFETCH(QString, box);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, boxAfterEachStep);

        SentLines lines;
        for (const QString &line : sent)
            lines.Remember(line);
        QStringList seen;
        for (const QString &step : steps) {
            if (step == "Up") {
                box = lines.Older(box).value_or(box);
            } else if (step == "Down") {
                box = lines.Newer(box).value_or(box);
            } else if (step == "Send") {
                lines.Remember(box);
                box.clear();
            } else {
                box = step.mid(1);
            }
            seen.append(box);
        }
        QCOMPARE(seen, boxAfterEachStep);
    }
};

QTEST_APPLESS_MAIN(tst_SentLines)
#include "tst_SentLines.moc"
