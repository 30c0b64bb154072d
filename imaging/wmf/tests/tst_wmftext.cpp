// Text records of the metafile player (fonts need a QGuiApplication), and the
// face and character-set rules behind them.

#include "WmfFonts.h"
#include "WmfTestSupport.h"

#include <QSet>
#include <QStringDecoder>
#include <QTest>

using namespace wmftest;

namespace {

constexpr QRgb Yellow = 0xFFFFFF00;

// The box of dark pixels.
QRect ink(const QImage& img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A 200 x 100 canvas with a 40-pixel font (character height) selected.
WmfWriter textCanvas(int height = -40, int escapement = 0)
{
    WmfWriter wr = canvas(200, 100);
    WmfWriter::Font f;
    f.height = height;
    f.escapement = escapement;
    f.faceName = "Arial";
    wr.selectObject(wr.createFontIndirect(f));
    wr.setBkMode(WmfWriter::Transparent);
    return wr;
}

QImage renderText(const WmfWriter& wr)
{
    return render(wr.bytes(), QSize(200, 100));
}

enum Vertical
{
    InkBelow,
    InkEndsOn,
    InkEndsAbove
};
enum Horizontal
{
    StartsAt,
    EndsAt,
    CentredOn
};

} // namespace

class TestWmfText : public QObject
{
    Q_OBJECT

private slots:
    void alignment_data();
    void alignment();
    void updatePositionContinuesText();
    void backgroundMode_data();
    void backgroundMode();
    void extTextOutOpaqueAndClipped();
    void spacingArray();
    void escapementTurnsText();
    void heightSignChoosesEmOrCell();
    void textColour();
    void resolveFamily_data();
    void resolveFamily();
    void decodeText_data();
    void decodeText();
};

void TestWmfText::alignment_data()
{
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("vertical");
    QTest::addColumn<int>("horizontal");
    using W = WmfWriter;
    QTest::newRow("top left") << int(W::TaTop | W::TaLeft) << int(InkBelow) << int(StartsAt);
    QTest::newRow("baseline") << int(W::TaBaseline) << int(InkEndsOn) << int(StartsAt);
    QTest::newRow("bottom") << int(W::TaBottom) << int(InkEndsAbove) << int(StartsAt);
    QTest::newRow("right") << int(W::TaRight | W::TaBaseline) << int(InkEndsOn) << int(EndsAt);
    QTest::newRow("centre") << int(W::TaCenter | W::TaTop) << int(InkBelow) << int(CentredOn);
}

void TestWmfText::alignment()
{
    QFETCH(int, align);
    QFETCH(int, vertical);
    QFETCH(int, horizontal);
    const QPoint ref(100, 50);
    WmfWriter wr = textCanvas();
    wr.setTextAlign(align);
    wr.textOut(ref.x(), ref.y(), "HH");
    const QRect box = ink(renderText(wr));
    QVERIFY(!box.isEmpty());
    QVERIFY2(box.height() > 20, "an H of a 40-pixel font is some 29 pixels tall");
    switch (vertical) {
    case InkBelow: // the cell's top at the point: the capitals start a little lower
        QVERIFY(box.top() >= ref.y() && box.top() <= ref.y() + 14);
        break;
    case InkEndsOn: // capitals stand on the baseline
        QVERIFY(box.bottom() >= ref.y() - 2 && box.bottom() <= ref.y());
        break;
    case InkEndsAbove: // the cell's bottom at the point: the descent below the capitals
        QVERIFY(box.bottom() >= ref.y() - 16 && box.bottom() <= ref.y() - 4);
        break;
    }
    switch (horizontal) {
    case StartsAt:
        QVERIFY(box.left() >= ref.x() && box.left() <= ref.x() + 8);
        break;
    case EndsAt:
        QVERIFY(box.right() <= ref.x() && box.right() >= ref.x() - 8);
        break;
    case CentredOn:
        QVERIFY(std::abs(box.center().x() - ref.x()) <= 3);
        break;
    }
}

void TestWmfText::updatePositionContinuesText()
{
    WmfWriter once = textCanvas();
    once.setTextAlign(WmfWriter::TaBaseline);
    once.textOut(20, 60, "HIH");
    WmfWriter pieces = textCanvas();
    pieces.setTextAlign(WmfWriter::TaBaseline | WmfWriter::TaUpdateCp);
    pieces.moveTo(20, 60);
    pieces.textOut(150, 10, "H"); // the point is not used: the current position is
    pieces.textOut(150, 10, "I");
    pieces.extTextOut(150, 10, 0, QRect(), "H");
    const QRect a = ink(renderText(once));
    const QRect b = ink(renderText(pieces));
    QVERIFY(!a.isEmpty());
    QVERIFY(std::abs(a.left() - b.left()) <= 1);
    QVERIFY(std::abs(a.right() - b.right()) <= 1);
    QVERIFY(std::abs(a.bottom() - b.bottom()) <= 1);
}

void TestWmfText::backgroundMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("filled");
    QTest::newRow("opaque fills the cells") << int(WmfWriter::Opaque) << true;
    QTest::newRow("transparent does not") << int(WmfWriter::Transparent) << false;
}

void TestWmfText::backgroundMode()
{
    QFETCH(int, mode);
    QFETCH(bool, filled);
    WmfWriter wr = textCanvas();
    wr.setBkMode(mode);
    wr.setBkColor(WmfWriter::rgb(255, 255, 0));
    wr.setTextAlign(WmfWriter::TaTop);
    wr.textOut(20, 20, "HH");
    const QImage img = renderText(wr);
    // Just inside the cell, above the capitals.
    QCOMPARE(img.pixel(24, 22) == Yellow, filled);
    QCOMPARE(img.pixel(24, 10) == Yellow, false);
}

void TestWmfText::extTextOutOpaqueAndClipped()
{
    WmfWriter wr = textCanvas();
    wr.setBkColor(WmfWriter::rgb(255, 255, 0));
    // An opaque rectangle and no text: a common way to fill.
    wr.extTextOut(0, 0, WmfWriter::EtoOpaque, QRect(QPoint(150, 0), QPoint(200, 20)), "");
    wr.setTextAlign(WmfWriter::TaBaseline);
    wr.extTextOut(20, 70, WmfWriter::EtoClipped, QRect(QPoint(0, 0), QPoint(45, 100)), "HHHH");
    const QImage img = renderText(wr);
    QCOMPARE(img.pixel(175, 10), Yellow);
    QCOMPARE(img.pixel(175, 30), qRgb(255, 255, 255));
    const QRect box = ink(img.copy(0, 30, 200, 70));
    QVERIFY(!box.isEmpty());
    QVERIFY(box.right() <= 45);
}

void TestWmfText::spacingArray()
{
    WmfWriter wr = textCanvas();
    wr.setTextAlign(WmfWriter::TaBaseline);
    wr.extTextOut(20, 60, 0, QRect(), "II", {120, 0});
    const QImage img = renderText(wr);
    QVERIFY(ink(img.copy(0, 0, 60, 100)).isValid());
    QVERIFY(!ink(img.copy(60, 0, 70, 100)).isValid()); // nothing between the two letters
    QVERIFY(ink(img.copy(130, 0, 70, 100)).isValid());
}

void TestWmfText::escapementTurnsText()
{
    WmfWriter wr = textCanvas(-20, 900); // a quarter turn counter-clockwise: bottom to top
    wr.setTextAlign(WmfWriter::TaBaseline);
    wr.textOut(100, 90, "HHHH");
    const QRect box = ink(renderText(wr));
    QVERIFY(box.height() > 2 * box.width());
    QVERIFY(box.bottom() <= 90 && box.top() < 60);
    QVERIFY(box.right() <= 100); // the glyphs stand on the left of the baseline
}

void TestWmfText::heightSignChoosesEmOrCell()
{
    auto capHeight = [](int height) {
        WmfWriter wr = textCanvas(height);
        wr.setTextAlign(WmfWriter::TaBaseline);
        wr.textOut(20, 80, "H");
        return ink(renderText(wr)).height();
    };
    // A cell of 40 holds a smaller font than a character height of 40.
    QVERIFY(capHeight(-40) > capHeight(40) + 2);
}

void TestWmfText::textColour()
{
    WmfWriter wr = textCanvas(-60);
    wr.setTextColor(WmfWriter::rgb(255, 0, 0));
    wr.setTextAlign(WmfWriter::TaBaseline);
    wr.textOut(20, 80, "I");
    const QImage img = renderText(wr);
    int red = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            red += img.pixel(x, y) == qRgb(255, 0, 0);
    QVERIFY(red > 50);
}

void TestWmfText::resolveFamily_data()
{
    QTest::addColumn<QByteArray>("faces");
    QTest::addColumn<int>("pitchAndFamily");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("expected");
    const QStringList dejavu = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"};
    QTest::newRow("installed face") << QByteArray("DejaVu Serif") << 0 << dejavu << "DejaVu Serif";
    QTest::newRow("arial to the first substitute installed")
        << QByteArray("Arial") << 0 << (dejavu + QStringList{"Liberation Sans"})
        << "Liberation Sans";
    QTest::newRow("arial to dejavu") << QByteArray("arial") << 0 << dejavu << "DejaVu Sans";
    QTest::newRow("times to a serif")
        << QByteArray("Times New Roman") << 0 << dejavu << "DejaVu Serif";
    QTest::newRow("list: first face available")
        << QByteArray("Nowhere Sans; Courier New;Arial") << 0 << dejavu << "DejaVu Sans Mono";
    QTest::newRow("unknown roman face")
        << QByteArray("Fancy Old Roman") << 0x12 << dejavu << "DejaVu Serif";
    QTest::newRow("unknown fixed pitch face")
        << QByteArray("Typewriter") << 0x01 << dejavu << "DejaVu Sans Mono";
    QTest::newRow("narrow face") << QByteArray("Arial Narrow") << 0
                                 << (dejavu +
                                     QStringList{"Liberation Sans Narrow", "Liberation Sans"})
                                 << "Liberation Sans Narrow";
    QTest::newRow("empty face") << QByteArray() << 0 << dejavu << "DejaVu Sans";
}

void TestWmfText::resolveFamily()
{
    QFETCH(QByteArray, faces);
    QFETCH(int, pitchAndFamily);
    QFETCH(QStringList, installed);
    QFETCH(QString, expected);
    const QSet<QString> have(installed.begin(), installed.end());
    QCOMPARE(wmf::resolveFamily(faces, pitchAndFamily,
                                [&](const QString& f) { return have.contains(f); }),
             expected);
}

void TestWmfText::decodeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("charSet");
    QTest::addColumn<QByteArray>("face");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ansi euro and accents")
        << QByteArray("\x80 caf\xe9") << 0 << QByteArray("Arial") << QString::fromUtf8("€ café");
    QTest::newRow("ansi quotes") << QByteArray("\x93hi\x94") << 0 << QByteArray("Arial")
                                 << QString::fromUtf8("“hi”");
    QTest::newRow("symbol face greek")
        << QByteArray("abgW") << 2 << QByteArray("Symbol") << QString::fromUtf8("αβγΩ");
    QTest::newRow("symbol signs") << QByteArray("\xb1\xa5\xb3") << 2 << QByteArray("Symbol")
                                  << QString::fromUtf8("±∞≥");
    QTest::newRow("cyrillic") << QByteArray("\xcf\xf0\xe8") << 204 << QByteArray("Arial")
                              << QString::fromUtf8("При");
}

void TestWmfText::decodeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, charSet);
    QFETCH(QByteArray, face);
    QFETCH(QString, expected);
    if (charSet == 204 && !QStringDecoder("windows-1251").isValid())
        QSKIP("this Qt has no windows-1251 decoder");
    QCOMPARE(wmf::decodeText(bytes, charSet, face), expected);
}

QTEST_MAIN(TestWmfText)
#include "tst_wmftext.moc"
