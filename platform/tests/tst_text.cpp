#include "AnsiText.h"
#include "Numbers.h"
#include "TextItems.h"

#include <QTest>

class Tst_Text : public QObject
{
    Q_OBJECT
private slots:
    void ansiRoundTrip_data();
    void ansiRoundTrip();
    void splitLines_data();
    void splitLines();
    void numberItems_data();
    void numberItems();
    void lineItemsEndEarly();
    void roundHalfEven_data();
    void roundHalfEven();
};

void Tst_Text::ansiRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QByteArray("Birds") << QStringLiteral("Birds");
    QTest::newRow("umlaut") << QByteArray("V\xF6gel") << QStringLiteral("V\u00F6gel");
    QTest::newRow("accent") << QByteArray("\xC9l\xE9phant") << QStringLiteral("\u00C9l\u00E9phant");
    QTest::newRow("euro and quotes")
        << QByteArray("\x80 \x93x\x94") << QStringLiteral("\u20AC \u201Cx\u201D");
    QTest::newRow("oe ligature") << QByteArray("\x9C") << QStringLiteral("\u0153");
}

void Tst_Text::ansiRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Ansi::Decode(bytes), text);
    QCOMPARE(Ansi::Encode(text), bytes);
}

void Tst_Text::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("lf") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("no final end") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("empty lines kept") << "a\r\n\r\n b \r\n" << QStringList{"a", "", " b "};
    QTest::newRow("empty") << "" << QStringList{};
}

void Tst_Text::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(Ansi::Split_Lines(text), lines);
}

void Tst_Text::numberItems_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("nextLine");
    QTest::newRow("plain") << QStringList{"12", "next"} << true << 12 << "next";
    QTest::newRow("blanks and empty lines before")
        << QStringList{"", "   ", "  7 rest ignored", "next"} << true << 7 << "next";
    QTest::newRow("negative") << QStringList{"-3", "next"} << true << -3 << "next";
    QTest::newRow("text") << QStringList{"abc", "next"} << false << 0 << "next";
    QTest::newRow("end of file") << QStringList{"", ""} << false << 0 << "";
}

void Tst_Text::numberItems()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, ok);
    QFETCH(int, value);
    QFETCH(QString, nextLine);
    Text_Items items(lines);
    int read = 0;
    QCOMPARE(items.Read_Number(read), ok);
    if (!ok) {
        QVERIFY(!items.errorText().isEmpty());
        return;
    }
    QCOMPARE(read, value);
    QString line;
    QVERIFY(items.Read_Line(line));
    QCOMPARE(line, nextLine);
}

void Tst_Text::lineItemsEndEarly()
{
    Text_Items items({"  kept whole  "});
    QString line;
    QVERIFY(items.Read_Line(line));
    QCOMPARE(line, QStringLiteral("  kept whole  "));
    QVERIFY(items.At_End());
    QVERIFY(!items.Read_Line(line));
    QVERIFY(items.errorText().contains("ends early"));
}

void Tst_Text::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("2.4999") << 2.4999 << 2;
    QTest::newRow("100.5") << 100.5 << 100;
}

void Tst_Text::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, rounded);
    QCOMPARE(Numbers::Round_Half_Even(value), rounded);
    QCOMPARE(Numbers::Div_Trunc(-7, 2), -3);
    QCOMPARE(Numbers::Div_Trunc(5, 0, 42), 42);
}

QTEST_GUILESS_MAIN(Tst_Text)
#include "tst_text.moc"
