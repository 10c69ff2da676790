#include <QTest>

#include "core/Caption.h"
#include "core/OutgoingLine.h"
#include "core/WindowPlacement.h"

// The small rules of the main window: call sign and caption, trimming a typed line, and the
// twips the window's places are kept in.
class tst_TextRules : public QObject
{
    Q_OBJECT

private slots:
    void baseCallSignIsCutAtTheFirstHyphen_data()
    {
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QString>("base");
        QTest::newRow("suffix") << "N0CALL-L" << "N0CALL";
        QTest::newRow("no hyphen") << "N0CALL" << "N0CALL";
        QTest::newRow("several hyphens") << "N0CALL-R-2" << "N0CALL";
        QTest::newRow("hyphen first") << "-L" << "";
        QTest::newRow("empty") << "" << "";
    }
    void baseCallSignIsCutAtTheFirstHyphen()
    {
        QFETCH(QString, reported);
        QFETCH(QString, base);
        QCOMPARE(BaseCallSign(reported), base);
    }

    void caption()
    {
        QCOMPARE(WindowCaption("N0CALL"), "Parlox ~ N0CALL ~ v 1.0.0");
        QCOMPARE(WindowCaption(""), "Parlox ~  ~ v 1.0.0");
    }

    void trimRemovesSpacesOnly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::newRow("spaces around") << "  hello there  " << "hello there";
        QTest::newRow("only spaces") << "     " << "";
        QTest::newRow("tabs stay") << "\thello\t" << "\thello\t";
        QTest::newRow("spaces outside tabs") << " \t x \t " << "\t x \t";
        QTest::newRow("no-break space stays") << QString::fromUtf16(u"\u00A0x\u00A0") << QString::fromUtf16(u"\u00A0x\u00A0");
        QTest::newRow("empty") << "" << "";
    }
    void trimRemovesSpacesOnly()
    {
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        QCOMPARE(TrimSpaces(typed), sent);
    }

    void twipsAndPixels()
    {
        QCOMPARE(TwipsToPixels(2535, 96), 169);
        QCOMPARE(TwipsToPixels(-60, 96), -4);
        QCOMPARE(TwipsToPixels(6990, 144), 699);
        QCOMPARE(PixelsToTwips(169, 96), 2535.0);
        QCOMPARE(TwipsToPixels(QRect(6120, 4740, 855, 315), 96), QRect(408, 316, 57, 21));
    }

    void titleBarMustStayOnSomeScreen()
    {
        const QList<QRect> screens{QRect(0, 0, 1024, 768), QRect(1024, 0, 800, 600)};
        QVERIFY(TitleBarReachable(QRect(-4, -4, 466, 20), screens));
        QVERIFY(TitleBarReachable(QRect(1500, 100, 466, 20), screens));
        QVERIFY(!TitleBarReachable(QRect(-600, 100, 466, 20), screens));
        QVERIFY(!TitleBarReachable(QRect(100, 5000, 466, 20), screens));
        QVERIFY(!TitleBarReachable(QRect(100, -30, 466, 20), screens));
    }
};

QTEST_APPLESS_MAIN(tst_TextRules)
#include "tst_TextRules.moc"
