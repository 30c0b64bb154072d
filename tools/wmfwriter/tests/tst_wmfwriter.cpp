// The writer's headers: placeable checksum, file size, largest record and
// object count, as readers that trust them need them.

#include "WmfWriter.h"

#include <QTest>
#include <QtEndian>

namespace {

quint16 word(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 dword(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

struct Walk
{
    quint32 maxRecord = 0;
    int records = 0;
    bool endsWithEof = false;
    qsizetype end = 0;
};

Walk walk(const QByteArray& b, qsizetype at)
{
    Walk w;
    while (at + 6 <= b.size()) {
        const quint32 size = dword(b, at);
        if (size < 3)
            break;
        w.maxRecord = std::max(w.maxRecord, size);
        ++w.records;
        const quint16 function = word(b, at + 4);
        at += qsizetype(size) * 2;
        if (function == 0) {
            w.endsWithEof = true;
            break;
        }
    }
    w.end = at;
    return w;
}

} // namespace

class TestWmfWriter : public QObject
{
    Q_OBJECT

private slots:
    void headers_data();
    void headers();
    void slotsAreReused();
    void demoMetafiles();
};

void TestWmfWriter::headers_data()
{
    QTest::addColumn<bool>("placeable");
    QTest::newRow("placeable") << true;
    QTest::newRow("plain") << false;
}

void TestWmfWriter::headers()
{
    QFETCH(bool, placeable);
    WmfWriter wr;
    if (placeable)
        wr.setPlaceable(-100, -50, 1900, 950, 1000);
    const int pen = wr.createPenIndirect(WmfWriter::PsSolid, 3, WmfWriter::rgb(1, 2, 3));
    const int brush = wr.createBrushIndirect(WmfWriter::BsSolid, WmfWriter::rgb(4, 5, 6));
    wr.selectObject(pen);
    wr.selectObject(brush);
    wr.polygon(QPolygon({QPoint(0, 0), QPoint(10, 0), QPoint(10, 10), QPoint(0, 10)}));
    wr.deleteObject(pen);
    wr.textOut(5, 5, "odd"); // padded to an even length
    const QByteArray b = wr.bytes();

    qsizetype at = 0;
    if (placeable) {
        QCOMPARE(dword(b, 0), 0x9AC6CDD7u);
        QCOMPARE(qint16(word(b, 6)), qint16(-100));
        QCOMPARE(qint16(word(b, 8)), qint16(-50));
        QCOMPARE(word(b, 10), quint16(1900));
        QCOMPARE(word(b, 12), quint16(950));
        QCOMPARE(word(b, 14), quint16(1000));
        quint16 sum = 0;
        for (int i = 0; i < 10; ++i)
            sum ^= word(b, 2 * i);
        QCOMPARE(word(b, 20), sum);
        at = 22;
    } else {
        QVERIFY(dword(b, 0) != 0x9AC6CDD7u);
    }
    QCOMPARE(word(b, at), quint16(1));     // memory metafile
    QCOMPARE(word(b, at + 2), quint16(9)); // header words
    QCOMPARE(word(b, at + 4), quint16(0x0300));
    QCOMPARE(qsizetype(dword(b, at + 6)) * 2, b.size() - at); // size in words
    QCOMPARE(word(b, at + 10), quint16(2));                   // two objects at most at once
    const Walk w = walk(b, at + 18);
    QVERIFY(w.endsWithEof);
    QCOMPARE(w.end, b.size());
    QCOMPARE(w.records, 8);
    QCOMPARE(dword(b, at + 12), w.maxRecord);
    QCOMPARE(w.maxRecord, 3u + 1 + 8); // the polygon: count and four points
}

void TestWmfWriter::slotsAreReused()
{
    WmfWriter wr;
    QCOMPARE(wr.createPenIndirect(0, 0, 0), 0);
    QCOMPARE(wr.createPenIndirect(0, 0, 0), 1);
    QCOMPARE(wr.createPenIndirect(0, 0, 0), 2);
    wr.deleteObject(1);
    wr.deleteObject(0);
    QCOMPARE(wr.createPalette({qRgb(1, 2, 3)}), 0);
    QCOMPARE(wr.createRegion(QRegion(0, 0, 5, 5)), 1);
    QCOMPARE(wr.createFontIndirect(WmfWriter::Font()), 3);
}

void TestWmfWriter::demoMetafiles()
{
    QCOMPARE(Demo_Metafile_Count(), 4);
    for (int i = 0; i < Demo_Metafile_Count(); ++i) {
        const QByteArray b = Demo_Metafile(i, "Caption");
        QVERIFY(b.size() > 1000);
        // 6400 x 4800 units at 960 per inch: 640 x 480 pixels at 96.
        QCOMPARE(word(b, 10) - word(b, 6), 6400);
        QCOMPARE(word(b, 12) - word(b, 8), 4800);
        QCOMPARE(word(b, 14), quint16(960));
        const Walk w = walk(b, 22 + 18);
        QVERIFY(w.endsWithEof);
        QCOMPARE(w.end, b.size());
        QVERIFY(w.records > 100);
        QVERIFY(b.contains("Caption"));
    }
    QVERIFY(Demo_Metafile(4, "x").isEmpty());
}

QTEST_GUILESS_MAIN(TestWmfWriter)
#include "tst_wmfwriter.moc"
