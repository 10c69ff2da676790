#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "DemoConference.h"

using namespace std::chrono_literals;

using namespace Qt::StringLiterals;

class tst_DemoConference : public QObject
{
    Q_OBJECT

private slots:
    void keepsChattingUnderMadeUpCalls();
    void answersAPostedLineNamingIt();
};

void tst_DemoConference::keepsChattingUnderMadeUpCalls()
{
    DemoConference demo(5ms, 5ms);
    QSignalSpy spoken(&demo, &DemoConference::ChatSpoken);
    demo.Start();

    // Well past the end of the script, so the conference must have started over.
    QTRY_VERIFY(spoken.size() >= 25);
    const QRegularExpression madeUpCall(QStringLiteral("^(N0CALL|X[A-Z0-9]+)>.+"));
    for (const QList<QVariant> &arguments : spoken)
        QVERIFY2(madeUpCall.match(arguments.at(0).toString()).hasMatch(), qPrintable(arguments.at(0).toString()));
}

void tst_DemoConference::answersAPostedLineNamingIt()
{
    DemoConference demo(1h, 5ms);
    QSignalSpy spoken(&demo, &DemoConference::ChatSpoken);

    demo.AnswerPosted(u"Grüße with %1 inside"_s);
    demo.AnswerPosted(u"second line"_s);

    QTRY_COMPARE(spoken.size(), 2);
    QVERIFY(spoken.at(0).at(0).toString().contains(u"\"Grüße with %1 inside\""));
    QVERIFY(spoken.at(1).at(0).toString().contains(u"\"second line\""));
}

QTEST_GUILESS_MAIN(tst_DemoConference)
#include "tst_DemoConference.moc"
