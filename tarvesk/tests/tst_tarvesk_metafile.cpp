// The pure logic of tarvesk: the header check, the extents, the path rules and
// the exit codes of one run, without a display.

#include "Command_Line.h"
#include "Placeable_Metafile.h"
#include "Test_Metafile.h"

#include <QTest>

#include <cstring>

using namespace tarvesk;

namespace {

using Bytes = std::vector<std::uint8_t>;

class Memory_File : public File_Reader
{
public:
    Memory_File(Bytes bytes, bool* closed = nullptr) : bytes_(std::move(bytes)), closed_(closed) {}
    ~Memory_File() override
    {
        if (closed_)
            *closed_ = true;
    }
    std::size_t Read(std::uint8_t* into, std::size_t count) override
    {
        const std::size_t n = std::min(count, bytes_.size() - std::min(pos_, bytes_.size()));
        if (n)
            std::memcpy(into, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    std::int64_t Length() override { return static_cast<std::int64_t>(bytes_.size()); }
    bool Seek(std::int64_t offset) override
    {
        pos_ = static_cast<std::size_t>(offset);
        return true;
    }

private:
    Bytes bytes_;
    std::size_t pos_ = 0;
    bool* closed_;
};

class Recording_Clipboard : public Clipboard
{
public:
    Place_Result answer = Place_Result::Placed;
    const bool* file_closed = nullptr;
    int calls = 0;
    bool closed_before_place = false;
    Picture_Extents extents;
    Bytes metafile;

    Place_Result Place(const Placeable_File& file, const Picture_Extents& e) override
    {
        ++calls;
        closed_before_place = file_closed && *file_closed;
        extents = e;
        metafile = file.metafile;
        return answer;
    }
};

Bytes Good_File()
{
    return test::Placeable_Metafile(0, 0, 1000, 500);
}

Bytes Patched(Bytes bytes, std::size_t offset, std::vector<std::uint8_t> with)
{
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
}

Bytes Resized(Bytes bytes, std::size_t size)
{
    bytes.resize(size, 0);
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(Load_Result)
Q_DECLARE_METATYPE(Place_Result)

class Tst_Tarvesk_Metafile : public QObject
{
    Q_OBJECT

private slots:
    void extents_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("1000 x 500") << 0 << 0 << 1000 << 500 << 10000 << 5000;
        QTest::newRow("7 x 3") << 0 << 0 << 7 << 3 << 10000 << 4285;
        QTest::newRow("1 x 3") << 0 << 0 << 1 << 3 << 3333 << 10000;
        QTest::newRow("2540 x 1905") << 0 << 0 << 2540 << 1905 << 10000 << 7500;
        QTest::newRow("box away from the origin") << -300 << 200 << 700 << 700 << 10000 << 5000;
        QTest::newRow("equal sides") << 10 << 10 << 510 << 510 << 10000 << 10000;
        QTest::newRow("right < left") << 100 << 0 << 0 << 50 << -20000 << 10000;
        QTest::newRow("full 16-bit range") << -32768 << -32768 << 32767 << 32767 << 10000 << 10000;
        QTest::newRow("zero box") << 5 << 5 << 5 << 5 << 0 << 0;
        QTest::newRow("zero height, negative width") << 10 << 0 << 5 << 0 << 0 << 0;
        QTest::newRow("zero width, negative height") << 0 << 10 << 0 << 5 << 0 << 0;
    }

    void extents()
    {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, right);
        QFETCH(int, bottom);
        const Bounding_Box box{static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
                               static_cast<std::int16_t>(right), static_cast<std::int16_t>(bottom)};
        const Picture_Extents e = Compute_Extents(box);
        QCOMPARE(e.mapping_mode, 8);
        QTEST(int(e.x_ext), "x");
        QTEST(int(e.y_ext), "y");
    }

    void record_is_little_endian_with_zero_handle()
    {
        const auto record = Metafile_Pict_Record(Picture_Extents{8, -20000, 5000});
        const Bytes expected{8, 0, 0, 0, 0xE0, 0xB1, 0xFF, 0xFF, 0x88, 0x13, 0, 0, 0, 0, 0, 0};
        QCOMPARE(Bytes(record.begin(), record.end()), expected);
    }

    void load_data()
    {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<Load_Result>("result");
        const Bytes good = Good_File();
        const auto wrong = Load_Result::Wrong_Key;
        const auto bad = Load_Result::Bad_Metafile;
        const auto loaded = Load_Result::Loaded;
        QTest::newRow("placeable metafile") << good << loaded;
        QTest::newRow("disk metafile, version 1")
            << Patched(good, 22, {2, 0, 9, 0, 0, 1}) << loaded;
        QTest::newRow("padding after the metafile") << Resized(good, good.size() + 6) << loaded;
        QTest::newRow("empty file") << Bytes{} << wrong;
        QTest::newRow("three bytes of the key") << Bytes{0xD7, 0xCD, 0xC6} << wrong;
        QTest::newRow("key in the wrong byte order")
            << Patched(good, 0, {0x9A, 0xC6, 0xCD, 0xD7}) << wrong;
        QTest::newRow("plain metafile without placeable header")
            << test::Windows_Metafile(100, 100) << wrong;
        QTest::newRow("key only") << Resized(good, 4) << bad;
        QTest::newRow("shorter than the placeable header") << Resized(good, 21) << bad;
        QTest::newRow("header and two bytes") << Resized(good, 24) << bad;
        QTest::newRow("metafile header cut short") << Resized(good, 22 + 17) << bad;
        QTest::newRow("metafile type 3") << Patched(good, 22, {3}) << bad;
        QTest::newRow("header size 8 words") << Patched(good, 24, {8}) << bad;
        QTest::newRow("version 2") << Patched(good, 26, {0, 2}) << bad;
        QTest::newRow("metafile size past the end") << Resized(good, good.size() - 2) << bad;
        QTest::newRow("metafile size below its header") << Patched(good, 28, {8, 0, 0, 0}) << bad;
        QTest::newRow("metafile size of 2^32 - 1 words")
            << Patched(good, 28, {0xFF, 0xFF, 0xFF, 0xFF}) << bad;
    }

    void load()
    {
        QFETCH(Bytes, file);
        QFETCH(Load_Result, result);
        Memory_File reader(file);
        Placeable_File placeable;
        QCOMPARE(Read_Placeable(reader, placeable), result);
        if (result != Load_Result::Loaded)
            return;
        // The metafile part is handed on unchanged, and the whole file as read.
        QCOMPARE(placeable.metafile, Bytes(file.begin() + 22, file.end()));
        QCOMPARE(placeable.Whole_File(), file);
    }

    void load_reads_signed_box()
    {
        Memory_File reader(test::Placeable_Metafile(-300, -2, 700, -1));
        Placeable_File placeable;
        QCOMPARE(Read_Placeable(reader, placeable), Load_Result::Loaded);
        QCOMPARE(placeable.box.left, -300);
        QCOMPARE(placeable.box.top, -2);
        QCOMPARE(placeable.box.right, 700);
        QCOMPARE(placeable.box.bottom, -1);
    }

    void exit_codes_data()
    {
        QTest::addColumn<bool>("opens");
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<Place_Result>("answer");
        QTest::addColumn<int>("exit_code");
        QTest::addColumn<bool>("placed");
        const Bytes good = Good_File();
        const auto ok = Place_Result::Placed;
        QTest::newRow("placed") << true << good << ok << 0 << true;
        QTest::newRow("file cannot be opened") << false << Bytes{} << ok << -1 << false;
        QTest::newRow("wrong key") << true << Bytes{1, 2, 3} << ok << -1 << false;
        QTest::newRow("metafile data rejected by us")
            << true << Patched(good, 22, {3}) << ok << 0 << false;
        QTest::newRow("metafile data rejected by the system")
            << true << good << Place_Result::Data_Rejected << 0 << true;
        QTest::newRow("clipboard cannot be opened")
            << true << good << Place_Result::Clipboard_Unavailable << -1 << true;
    }

    void exit_codes()
    {
        QFETCH(bool, opens);
        QFETCH(Bytes, file);
        QFETCH(Place_Result, answer);
        bool closed = false;
        Recording_Clipboard clipboard;
        clipboard.answer = answer;
        clipboard.file_closed = &closed;
        std::unique_ptr<File_Reader> reader;
        if (opens)
            reader = std::make_unique<Memory_File>(file, &closed);
        QTEST(Copy_To_Clipboard(std::move(reader), clipboard), "exit_code");
        QTEST(clipboard.calls == 1, "placed");
        if (clipboard.calls == 0)
            return;
        QVERIFY2(clipboard.closed_before_place, "the file must be closed before the clipboard");
        QCOMPARE(clipboard.metafile, Bytes(file.begin() + 22, file.end()));
        QCOMPARE(clipboard.extents.x_ext, 10000);
        QCOMPARE(clipboard.extents.y_ext, 5000);
    }

    void windows_command_line_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain name") << "tarvesk.exe D:\\PIC\\ROSE.WMF"
                                    << "D:\\PIC\\ROSE.WMF";
        QTest::newRow("quoted name with blanks")
            << "\"C:\\Program Files\\tarvesk.exe\" D:\\ROSE.WMF"
            << "D:\\ROSE.WMF";
        QTest::newRow("path with blanks, unquoted") << "tarvesk.exe C:\\My Pictures\\a b.wmf"
                                                    << "C:\\My Pictures\\a b.wmf";
        QTest::newRow("quoted path keeps its quotes") << "tarvesk.exe \"C:\\a b.wmf\""
                                                      << "\"C:\\a b.wmf\"";
        QTest::newRow("blanks, tabs and controls before the path")
            << "tarvesk.exe \t \x01 C:\\x.wmf"
            << "C:\\x.wmf";
        QTest::newRow("tab ends the name") << "tarvesk.exe\tC:\\x.wmf"
                                           << "C:\\x.wmf";
        QTest::newRow("blanks after the path are kept") << "tarvesk C:\\x.wmf  "
                                                        << "C:\\x.wmf  ";
        QTest::newRow("text right after the closing quote") << "\"tarvesk.exe\"C:\\x.wmf"
                                                            << "C:\\x.wmf";
        QTest::newRow("name without closing quote") << "\"tarvesk.exe C:\\x.wmf"
                                                    << "";
        QTest::newRow("no path") << "tarvesk.exe"
                                 << "";
        QTest::newRow("empty line") << ""
                                    << "";
        QTest::newRow("non-ASCII name") << "t\u00e4rvesk.exe C:\\\u00e9t\u00e9.wmf"
                                        << "C:\\\u00e9t\u00e9.wmf";
    }

    void windows_command_line()
    {
        QFETCH(QString, line);
        QFETCH(QString, path);
        const std::u16string wide = line.toStdU16String();
        QCOMPARE(QString::fromStdU16String(Path_From_Command_Line(std::u16string_view(wide))),
                 path);
        // The same rule over 8-bit text, where bytes above 127 are not blanks.
        const QByteArray utf8 = line.toUtf8();
        QCOMPARE(QString::fromStdString(Path_From_Command_Line(
                     std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())))),
                 path);
    }

    void linux_arguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("path");
        QTest::newRow("no argument") << QStringList{} << "";
        QTest::newRow("one argument") << QStringList{"/tmp/rose.wmf"} << "/tmp/rose.wmf";
        QTest::newRow("path with blanks as one argument")
            << QStringList{"/tmp/my pictures/a b.wmf"} << "/tmp/my pictures/a b.wmf";
        QTest::newRow("path with blanks split by a shell")
            << QStringList{"/tmp/my", "pictures/a", "b.wmf"} << "/tmp/my pictures/a b.wmf";
        QTest::newRow("quotes that reach the program")
            << QStringList{"\"/tmp/rose.wmf\""} << "\"/tmp/rose.wmf\"";
    }

    void linux_arguments()
    {
        QFETCH(QStringList, args);
        std::vector<QByteArray> texts{"tarvesk"};
        for (const QString& a : args)
            texts.push_back(a.toUtf8());
        std::vector<const char*> argv;
        for (const QByteArray& t : texts)
            argv.push_back(t.constData());
        argv.push_back(nullptr);
        QTEST(QString::fromStdString(Path_From_Arguments(int(texts.size()), argv.data())), "path");
    }
};

QTEST_GUILESS_MAIN(Tst_Tarvesk_Metafile)
#include "tst_tarvesk_metafile.moc"
