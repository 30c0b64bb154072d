// The text holder: capacity and truncation, the address the record gets, stream limits and
// the "PChar" persistence format.
#include "LPStr.h"

#include <QBuffer>
#include <QTest>

namespace {

QByteArray Letters(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text.append(char('a' + i % 26));
    return text;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

} // namespace

class Tst_LPStr : public QObject
{
    Q_OBJECT
private slots:
    void Set_Text_data();
    void Set_Text();
    void Record_Address();
    void Set_Size_data();
    void Set_Size();
    void Get_Text_Bounded();
    void Load_From_Stream_data();
    void Load_From_Stream();
    void Save_To_Stream();
    void PChar_Write();
    void PChar_Read_data();
    void PChar_Read();
};

void Tst_LPStr::Set_Text_data()
{
    QTest::addColumn<int>("capacity"); // 0: not fixed
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("capacityAfter");

    QTest::newRow("300 into fixed 256 keeps 255") << 256 << 300 << 255 << 256;
    QTest::newRow("255 into fixed 256 fits") << 256 << 255 << 255 << 256;
    QTest::newRow("fixed 1 keeps only the terminator") << 1 << 5 << 0 << 1;
    QTest::newRow("not fixed takes an exact copy") << 0 << 300 << 300 << 301;
    QTest::newRow("empty text has a buffer of one byte") << 0 << 0 << 0 << 1;
    QTest::newRow("not fixed cut at the 16-bit capacity") << 0 << 70000 << 65534 << 65535;
}

void Tst_LPStr::Set_Text()
{
    QFETCH(int, capacity);
    QFETCH(int, length);
    QFETCH(int, kept);
    QFETCH(int, capacityAfter);

    TLPStr holder{std::uint16_t(capacity)};
    holder.SetText(Letters(length).constData());
    QCOMPARE(holder.GetText(), Letters(kept));
    QCOMPARE(int(holder.Capacity()), capacityAfter);
    QCOMPARE(holder.Fixed(), capacity != 0);
    QVERIFY(holder.Buffer() != nullptr);
}

void Tst_LPStr::Record_Address()
{
    TLPStr loose;
    QVERIFY2(loose.Buffer() == nullptr, "never set: no address");
    loose.SetText("");
    QVERIFY2(loose.Buffer() != nullptr, "set to an empty text: an address");
    loose.SetText("rose");
    loose.Clear();
    QVERIFY2(loose.Buffer() == nullptr, "cleared while not fixed: no address");
    loose.SetText("rose");
    loose.SetText(static_cast<const char*>(nullptr));
    QVERIFY2(loose.Buffer() == nullptr, "setting no text only clears");

    TLPStr fixed(32);
    fixed.SetText("rose");
    const char* address = fixed.Buffer();
    fixed.Clear();
    QCOMPARE(fixed.Buffer(), address);
    QCOMPARE(fixed.GetText(), QByteArray());

    // Setting a holder's own text again must not read released memory.
    loose.SetText("tulip");
    loose.SetText(loose.Buffer());
    QCOMPARE(loose.GetText(), QByteArray("tulip"));
}

void Tst_LPStr::Set_Size_data()
{
    QTest::addColumn<int>("before"); // 0: not fixed
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("textAfter");
    QTest::addColumn<int>("capacityAfter");
    QTest::addColumn<bool>("fixedAfter");
    QTest::addColumn<bool>("sameBuffer");

    QTest::newRow("the current capacity only marks it fixed")
        << 0 << QByteArray("abc") << 4 << QByteArray("abc") << 4 << true << true;
    QTest::newRow("0 marks it not fixed and keeps the buffer")
        << 8 << QByteArray("abc") << 0 << QByteArray("abc") << 8 << false << true;
    QTest::newRow("a smaller size cuts the text")
        << 0 << QByteArray("abcdef") << 4 << QByteArray("abc") << 4 << true << false;
    QTest::newRow("a larger size keeps the text")
        << 0 << QByteArray("abc") << 100 << QByteArray("abc") << 100 << true << false;
    QTest::newRow("0 on a holder without a buffer")
        << 0 << QByteArray() << 0 << QByteArray() << 0 << false << true;
}

void Tst_LPStr::Set_Size()
{
    QFETCH(int, before);
    QFETCH(QByteArray, text);
    QFETCH(int, n);
    QFETCH(QByteArray, textAfter);
    QFETCH(int, capacityAfter);
    QFETCH(bool, fixedAfter);
    QFETCH(bool, sameBuffer);

    TLPStr holder{std::uint16_t(before)};
    if (!text.isNull())
        holder.SetText(text.constData());
    const char* address = holder.Buffer();
    holder.SetSize(std::uint16_t(n));
    QCOMPARE(holder.GetText(), textAfter);
    QCOMPARE(int(holder.Capacity()), capacityAfter);
    QCOMPARE(holder.Fixed(), fixedAfter);
    QCOMPARE(holder.Buffer() == address, sameBuffer);

    // The next text follows the new mode: cut when fixed, an exact copy otherwise.
    holder.SetText(Letters(200).constData());
    QCOMPARE(holder.GetText(), fixedAfter ? Letters(capacityAfter - 1) : Letters(200));
}

void Tst_LPStr::Get_Text_Bounded()
{
    TLPStr holder;
    char destination[8] = "xxxxxxx";
    QCOMPARE(holder.GetText(destination, sizeof destination), std::size_t(0));
    QCOMPARE(QByteArray(destination), QByteArray());

    holder.SetText("abcdef");
    QCOMPARE(holder.GetText(destination, 4), std::size_t(3));
    QCOMPARE(QByteArray(destination), QByteArray("abc"));
    QCOMPARE(holder.GetText(destination, sizeof destination), std::size_t(6));
    QCOMPARE(QByteArray(destination), QByteArray("abcdef"));
    destination[0] = 'x';
    QCOMPARE(holder.GetText(destination, 0), std::size_t(0));
    QCOMPARE(destination[0], 'x');
}

void Tst_LPStr::Load_From_Stream_data()
{
    QTest::addColumn<int>("capacity"); // 0: not fixed
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<bool>("tooLong");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("not fixed: 32767 bytes fit") << 0 << Letters(32767) << false << Letters(32767);
    QTest::newRow("not fixed: 32768 bytes are too long")
        << 0 << Letters(32768) << true << QByteArray("old");
    QTest::newRow("not fixed: a longer stream is too long")
        << 0 << Letters(40000) << true << QByteArray("old");
    QTest::newRow("fixed 16: 15 bytes fit") << 16 << Letters(15) << false << Letters(15);
    QTest::newRow("fixed 16: 16 bytes are too long")
        << 16 << Letters(16) << true << QByteArray("old");
    QTest::newRow("empty stream: empty text") << 0 << QByteArray() << false << QByteArray();
    QTest::newRow("the text ends at a zero byte")
        << 0 << QByteArray("ab\0cd", 5) << false << QByteArray("ab");
}

void Tst_LPStr::Load_From_Stream()
{
    QFETCH(int, capacity);
    QFETCH(QByteArray, stream);
    QFETCH(bool, tooLong);
    QFETCH(QByteArray, text);

    TLPStr holder{std::uint16_t(capacity)};
    holder.SetText("old");
    QBuffer buffer(&stream);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    bool raised = false;
    try {
        holder.LoadFromStream(buffer);
    } catch (const Stream_Error& error) {
        raised = true;
        QCOMPARE(error.Text(), QStringLiteral("Line too long"));
    }
    QCOMPARE(raised, tooLong);
    QCOMPARE(holder.GetText(), text);
    QVERIFY(holder.Buffer() != nullptr);
}

void Tst_LPStr::Save_To_Stream()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    TLPStr holder;
    holder.SaveToStream(buffer);
    holder.SetText("");
    holder.SaveToStream(buffer);
    QCOMPARE(bytes, QByteArray());
    holder.SetText("rose");
    holder.SaveToStream(buffer);
    QCOMPARE(bytes, QByteArray("rose")); // no terminator
}

void Tst_LPStr::PChar_Write()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    TLPStr holder;
    QVERIFY(Write_PChar(buffer, holder));
    holder.SetText("");
    QVERIFY(Write_PChar(buffer, holder));
    QCOMPARE(bytes, QByteArray()); // nothing is stored for an empty text

    holder.SetText("abc");
    QVERIFY(Write_PChar(buffer, holder));
    QCOMPARE(bytes, Bytes({10, 4, 0, 0, 0, 'a', 'b', 'c', 0}));

    const QByteArray longText = Letters(300);
    holder.SetText(longText.constData());
    bytes.clear();
    buffer.seek(0);
    QVERIFY(Write_PChar(buffer, holder));
    QCOMPARE(bytes.left(5), Bytes({10, 45, 1, 0, 0})); // 301, little-endian
    QCOMPARE(bytes.size(), 5 + 301);

    // Read back into a fresh holder.
    buffer.close();
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    TLPStr copy;
    QString error;
    QVERIFY2(Read_PChar(buffer, copy, &error), qPrintable(error));
    QCOMPARE(copy.GetText(), longText);
    QVERIFY(buffer.atEnd());
}

void Tst_LPStr::PChar_Read_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("a text") << Bytes({10, 5, 0, 0, 0, 'r', 'o', 's', 'e', 0}) << true
                            << QByteArray("rose");
    QTest::newRow("count 0 leaves it empty") << Bytes({10, 0, 0, 0, 0}) << true << QByteArray();
    QTest::newRow("no terminator in the count")
        << Bytes({10, 3, 0, 0, 0, 'a', 'b', 'c'}) << true << QByteArray("abc");
    QTest::newRow("another tag") << Bytes({6, 4, 0, 0, 0, 'a', 'b', 'c', 0}) << false
                                 << QByteArray();
    QTest::newRow("head cut short") << Bytes({10, 4, 0}) << false << QByteArray();
    QTest::newRow("count past the end of the data")
        << Bytes({10, 9, 0, 0, 0, 'a', 'b', 'c', 0}) << false << QByteArray();
    QTest::newRow("count of 4 GB")
        << Bytes({10, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}) << false << QByteArray();
}

void Tst_LPStr::PChar_Read()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, ok);
    QFETCH(QByteArray, text);

    QBuffer buffer(&stored);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    TLPStr holder;
    holder.SetText("old"); // reading first clears
    QString error;
    QCOMPARE(Read_PChar(buffer, holder, &error), ok);
    QCOMPARE(error.isEmpty(), ok);
    QCOMPARE(holder.GetText(), text);
}

QTEST_GUILESS_MAIN(Tst_LPStr)
#include "tst_lpstr.moc"
