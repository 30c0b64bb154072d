// Picture retrieval: the naming rules, resolving pictures on the disc and in archives, failed
// and hostile extractions, over-long paths, and the demo disc's archived pictures.
#include "BrowserState.h"
#include "DosPath.h"
#include "DynaLibU.h"
#include "MessageBox.h"
#include "Mkdisc.h"
#include "Retrieval.h"
#include "Retrieval_Fixture.h"
#include "Zip_Builder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTest>

using namespace retrieval_test;

namespace {

// The bytes of a picture or archive member, told apart by name: a JPEG for a ".JPG" name.
QByteArray Content(const QString& name)
{
    if (name.endsWith(QLatin1String(".JPG"), Qt::CaseInsensitive)) {
        const uint h = qHash(name.toUpper());
        return Jpeg_Bytes(QSize(40 + int(h % 17), 30), QColor::fromRgb(h & 0xFFFFFF));
    }
    return "content of " + name.toUtf8();
}

// "PIC/ROSE.JPG" writes a picture file; "PIC/ROSE.ZIP=ROSE.JPG,README.TXT" an archive.
void Write_Disc_Entries(const Disc& disc, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        if (equals < 0) {
            disc.Write_File(entry, Content(Dos::File_Name(entry)));
            continue;
        }
        std::vector<std::pair<QString, QByteArray>> members;
        for (const QString& member : entry.mid(equals + 1).split(QLatin1Char(',')))
            members.emplace_back(member, Content(member));
        disc.Write_Zip(entry.left(equals), members);
    }
}

void Write_Program_File(const Program_Folder& program, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(program.File(name)).absolutePath());
    QFile file(program.File(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList Sorted(QStringList list)
{
    list.sort();
    return list;
}

// Nested folders below nativeBase whose Windows form, dosBase + the folders + "\", is
// exactly length characters long; returns that Windows form.
QString Long_Folder(const QString& dosBase, const QString& nativeBase, int length)
{
    QString dos = dosBase, native = nativeBase;
    while (dos.size() < length) {
        const int room = length - int(dos.size()) - 1; // the folder's name and its "\"
        const int name = room > 120 ? 100 : room;
        const QString part(name, QLatin1Char('L'));
        dos += part + QLatin1Char('\\');
        native += QLatin1Char('/') + part;
    }
    QDir().mkpath(native);
    return dos;
}

} // namespace

class Tst_Retrieval : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void Path_Rules_data();
    void Path_Rules();
    void Resolve_data();
    void Resolve();
    void Failed_Extraction_data();
    void Failed_Extraction();
    void Long_Paths_data();
    void Long_Paths();
    void Demo_Disc_Pictures_Load();

private:
    QTemporaryDir m_root; // holds m_outside, the target of absolute member names
    QString m_outside;
};

void Tst_Retrieval::initTestCase()
{
    QVERIFY(m_root.isValid());
    m_outside = m_root.filePath(QStringLiteral("outside"));
    QVERIFY(QDir().mkpath(m_outside));
}

void Tst_Retrieval::Path_Rules_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("scratch"); // for the program folder C:\APP\ .

    QTest::newRow("picture in a folder") << "D:\\CAT\\PIC\\ROSE.JPG"
                                         << "D:\\CAT\\PIC\\ROSE.ZIP"
                                         << "C:\\APP\\decomprs.JPG";
    QTest::newRow("extension kept as written") << "D:\\PIC\\rose.tif"
                                               << "D:\\PIC\\rose.ZIP"
                                               << "C:\\APP\\decomprs.tif";
    QTest::newRow("no extension") << "D:\\PIC\\ROSE"
                                  << "D:\\PIC\\ROSE.ZIP"
                                  << "C:\\APP\\decomprs";
    QTest::newRow("dot in a folder name only") << "D:\\PIC.V2\\ROSE"
                                               << "D:\\PIC.V2\\ROSE.ZIP"
                                               << "C:\\APP\\decomprs";
    QTest::newRow("two dots") << "D:\\PIC\\ROSE.OLD.PNG"
                              << "D:\\PIC\\ROSE.OLD.ZIP"
                              << "C:\\APP\\decomprs.PNG";
}

void Tst_Retrieval::Path_Rules()
{
    QFETCH(QString, picture);
    QFETCH(QString, archive);
    QFETCH(QString, scratch);
    QCOMPARE(Archive_Path(picture), archive);
    QCOMPARE(Scratch_File(QStringLiteral("C:\\APP\\"), picture), scratch);
}

void Tst_Retrieval::Resolve_data()
{
    QTest::addColumn<int>("backEnd");
    QTest::addColumn<int>("stubResult");     // the stand-in's result; -1: the real back end
    QTest::addColumn<QStringList>("before"); // program files written first (old pictures)
    QTest::addColumn<QStringList>("disc");
    QTest::addColumn<QStringList>("resolve");  // pictures resolved in turn
    QTest::addColumn<QStringList>("returned"); // "disc:<path>" or "program:<name>"
    QTest::addColumn<QStringList>("entries");  // the program folder afterwards
    QTest::addColumn<QStringList>("contents"); // "<program file>=<name of its content>"
    QTest::addColumn<QStringList>("boxes");

    const int real = int(Back_End::Real);
    QTest::newRow("picture on the disc: archive untouched, no scratch file")
        << int(Back_End::None) << -1 << QStringList()
        << QStringList{"PIC/ROSE.JPG", "PIC/ROSE.ZIP=ROSE.JPG"} << QStringList{"PIC/ROSE.JPG"}
        << QStringList{"disc:PIC/ROSE.JPG"} << QStringList() << QStringList() << QStringList();
    QTest::newRow("neither picture nor archive: the picture path")
        << int(Back_End::None) << -1 << QStringList() << QStringList()
        << QStringList{"PIC/ROSE.JPG"} << QStringList{"disc:PIC/ROSE.JPG"} << QStringList()
        << QStringList() << QStringList();
    QTest::newRow("two archived JPEGs share one scratch file")
        << real << -1 << QStringList()
        << QStringList{"PIC/ROSE.ZIP=ROSE.JPG", "PIC/TULIP.ZIP=TULIP.JPG"}
        << QStringList{"PIC/ROSE.JPG", "PIC/TULIP.JPG"}
        << QStringList{"program:decomprs.JPG", "program:decomprs.JPG"}
        << QStringList{"decomprs.JPG"} << QStringList{"decomprs.JPG=TULIP.JPG"} << QStringList();
    QTest::newRow("a TIF and a JPG leave two scratch files")
        << real << -1 << QStringList()
        << QStringList{"PIC/ROSE.ZIP=ROSE.TIF", "PIC/TULIP.ZIP=TULIP.JPG"}
        << QStringList{"PIC/ROSE.TIF", "PIC/TULIP.JPG"}
        << QStringList{"program:decomprs.TIF", "program:decomprs.JPG"}
        << QStringList{"decomprs.JPG", "decomprs.TIF"}
        << QStringList{"decomprs.TIF=ROSE.TIF", "decomprs.JPG=TULIP.JPG"} << QStringList();
    QTest::newRow("an extra member stays beside the program")
        << real << -1 << QStringList() << QStringList{"PIC/ROSE.ZIP=ROSE.JPG,README.TXT"}
        << QStringList{"PIC/ROSE.JPG"} << QStringList{"program:decomprs.JPG"}
        << QStringList{"README.TXT", "decomprs.JPG"}
        << QStringList{"decomprs.JPG=ROSE.JPG", "README.TXT=README.TXT"} << QStringList();
    QTest::newRow("members that would replace the program's own files are skipped")
        << real << -1 << QStringList{"orvinta.INI", "Flags/ENGLISH.ICO"}
        << QStringList{"PIC/ROSE.ZIP=ROSE.JPG,orvinta.INI,libdunzip32.so,libQt6Core.so.6,"
                       "orvinta,TARVESK.EXE,Flags/ENGLISH.ICO,NOTES.TXT,DOCS/MORE.TXT"}
        << QStringList{"PIC/ROSE.JPG"} << QStringList{"program:decomprs.JPG"}
        << QStringList{"DOCS", "Flags", "NOTES.TXT", "decomprs.JPG", "orvinta.INI"}
        << QStringList{"decomprs.JPG=ROSE.JPG", "orvinta.INI=OLD", "Flags/ENGLISH.ICO=OLD",
                       "NOTES.TXT=NOTES.TXT", "DOCS/MORE.TXT=DOCS/MORE.TXT"}
        << QStringList();
    QTest::newRow("member and disc names differ in case")
        << real << -1 << QStringList() << QStringList{"pic/Rose.zip=rose.jpg"}
        << QStringList{"PIC/ROSE.JPG"} << QStringList{"program:decomprs.JPG"}
        << QStringList{"decomprs.JPG"} << QStringList{"decomprs.JPG=rose.jpg"} << QStringList();
    QTest::newRow("an archive holding another name leaves no scratch file")
        << real << -1 << QStringList{"decomprs.JPG"} << QStringList{"PIC/ROSE.ZIP=OTHER.JPG"}
        << QStringList{"PIC/ROSE.JPG"} << QStringList{"program:decomprs.JPG"}
        << QStringList{"OTHER.JPG"} << QStringList() << QStringList();
    QTest::newRow("a picture named like the scratch file survives")
        << real << -1 << QStringList() << QStringList{"PIC/DECOMPRS.ZIP=decomprs.JPG"}
        << QStringList{"PIC/DECOMPRS.JPG"} << QStringList{"program:decomprs.JPG"}
        << QStringList{"decomprs.JPG"} << QStringList{"decomprs.JPG=decomprs.JPG"} << QStringList();
    QTest::newRow("result 50 shows only the disk-full text and drops the old picture")
        << int(Back_End::Recording_Stub) << 50 << QStringList{"decomprs.JPG"}
        << QStringList{"PIC/ROSE.ZIP=ROSE.JPG"} << QStringList{"PIC/ROSE.JPG"}
        << QStringList{"program:decomprs.JPG"} << QStringList() << QStringList()
        << QStringList{"Disk Full. Image cannot be retrieved"};
    QTest::newRow("another result shows its number")
        << int(Back_End::Recording_Stub) << 11 << QStringList{"decomprs.JPG"}
        << QStringList{"PIC/ROSE.ZIP=ROSE.JPG"} << QStringList{"PIC/ROSE.JPG"}
        << QStringList{"program:decomprs.JPG"} << QStringList() << QStringList()
        << QStringList{"Error retrieving image (Error: 11)"};
    QTest::newRow("a failure keeps the scratch files of other extensions")
        << int(Back_End::Recording_Stub) << 50 << QStringList{"decomprs.JPG", "decomprs.TIF"}
        << QStringList{"PIC/ROSE.ZIP=ROSE.JPG"} << QStringList{"PIC/ROSE.JPG"}
        << QStringList{"program:decomprs.JPG"} << QStringList{"decomprs.TIF"}
        << QStringList{"decomprs.TIF=OLD"} << QStringList{"Disk Full. Image cannot be retrieved"};
}

void Tst_Retrieval::Resolve()
{
    QFETCH(int, backEnd);
    QFETCH(int, stubResult);
    QFETCH(QStringList, before);
    QFETCH(QStringList, disc);
    QFETCH(QStringList, resolve);
    QFETCH(QStringList, returned);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, contents);
    QFETCH(QStringList, boxes);

    Disc cd;
    Program_Folder program{Back_End(backEnd)};
    Stub_Recorder stub;
    if (stubResult >= 0)
        stub.Set_Result(stubResult);
    for (const QString& name : before)
        Write_Program_File(program, name, "OLD");
    Write_Disc_Entries(cd, disc);
    const QByteArray archiveBefore = Read_File(cd.Native(QStringLiteral("PIC/ROSE.ZIP")));

    Ending_Recorder ending;
    Message_Box_Script script;
    QStringList got;
    for (const QString& picture : resolve) {
        const QString file = Resolve_Picture_File(Disc::Dos(picture), program.Dos());
        got << (file.startsWith(program.Dos()) ? "program:" + file.mid(program.Dos().size())
                                               : "disc:" + file.mid(3).replace('\\', '/'));
    }
    QCOMPARE(got, returned);
    QCOMPARE(script.Texts(), boxes);
    for (const Recorded_Box& box : script.Boxes()) {
        QCOMPARE(box.type, Box_Type::Information);
        QCOMPARE(box.buttons, Box_Buttons::Ok);
    }
    QCOMPARE(ending.Codes(), QList<int>());
    QCOMPARE(Sorted(program.Entries()), Sorted(entries));
    for (const QString& content : contents) {
        const QString file = content.section(QLatin1Char('='), 0, 0);
        const QString name = content.section(QLatin1Char('='), 1);
        const QByteArray bytes = Read_File(program.File(file));
        QCOMPARE(bytes, name == QLatin1String("OLD") ? QByteArray("OLD") : Content(name));
        if (file.endsWith(QLatin1String(".JPG"))) {
            QImageReader reader(program.File(file));
            QVERIFY2(!reader.read().isNull(), qPrintable(reader.errorString()));
        }
    }
    QCOMPARE(Read_File(cd.Native(QStringLiteral("PIC/ROSE.ZIP"))), archiveBefore);
}

void Tst_Retrieval::Failed_Extraction_data()
{
    using dunzip32_test::Raw_Member;
    QTest::addColumn<QByteArray>("zip");
    QTest::addColumn<bool>("folderLink"); // the program folder holds a link "out" to outside
    QTest::addColumn<int>("code");

    const std::string picture = Content(QStringLiteral("ROSE.JPG")).toStdString();
    std::string damaged = dunzip32_test::Raw_Zip({{"ROSE.JPG", picture}});
    const auto span = dunzip32_test::Member_Data(damaged, 0);
    damaged[span.offset + span.size / 2] ^= 0x55;
    const std::string outside = QFile::encodeName(m_outside).toStdString();
    const auto hostile = [&](const char* row, std::vector<Raw_Member> members, bool link = false) {
        members.insert(members.begin(), Raw_Member("ROSE.JPG", picture));
        QTest::newRow(row) << QByteArray::fromStdString(dunzip32_test::Raw_Zip(members)) << link
                           << int(DUNZIP_UNSAFE_NAME);
    };

    QTest::newRow("damaged member")
        << QByteArray::fromStdString(damaged) << false << int(DUNZIP_DAMAGED);
    QTest::newRow("encrypted member")
        << QByteArray::fromStdString(dunzip32_test::Raw_Zip(
               {Raw_Member("ROSE.JPG", picture, Raw_Member::Kind::File, "secret")}))
        << false << int(DUNZIP_ENCRYPTED);
    QTest::newRow("not an archive")
        << QByteArray("plain text, not an archive") << false << int(DUNZIP_NOT_A_ZIP);
    hostile("absolute member name", {Raw_Member(outside + "/evil.txt", "evil")});
    hostile("member climbing out", {Raw_Member("../outside/evil.txt", "evil")});
    hostile("member climbing out within its name",
            {Raw_Member("sub/../../outside/evil.txt", "evil")});
    hostile("member climbing out with backslashes", {Raw_Member("..\\outside\\evil.txt", "evil")});
    hostile("member with a drive letter", {Raw_Member("C:evil.txt", "evil")});
    hostile("link member", {Raw_Member("LINK", outside, Raw_Member::Kind::Link)});
    hostile("member climbing through a folder link", {Raw_Member("out/evil.txt", "evil")}, true);
}

void Tst_Retrieval::Failed_Extraction()
{
    QFETCH(QByteArray, zip);
    QFETCH(bool, folderLink);
    QFETCH(int, code);

    Disc cd;
    Program_Folder program(Back_End::Real, QStringLiteral("app"));
    const QString parent = QFileInfo(program.Native()).absolutePath();
    const QString sibling = parent + QStringLiteral("/outside");
    QVERIFY(QDir().mkpath(sibling));
    if (folderLink)
        QVERIFY(QFile::link(sibling, program.File(QStringLiteral("out"))));
    Write_Program_File(program, QStringLiteral("decomprs.JPG"), "OLD");
    cd.Write_File(QStringLiteral("PIC/ROSE.ZIP"), zip);

    Message_Box_Script script;
    const QString file =
        Resolve_Picture_File(Disc::Dos(QStringLiteral("PIC/ROSE.JPG")), program.Dos());
    QCOMPARE(file, program.Dos() + QStringLiteral("decomprs.JPG"));
    QCOMPARE(script.Texts(), QStringList{Retrieval_Error_Text(code)});
    QCOMPARE(script.Boxes().at(0).type, Box_Type::Information);
    // Nothing was written, and the earlier picture is not passed off as this one.
    QCOMPARE(program.Entries(), folderLink ? QStringList{"out"} : QStringList());
    QCOMPARE(QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"app", "outside"}));
    QCOMPARE(QDir(sibling).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(QDir(m_outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void Tst_Retrieval::Long_Paths_data()
{
    QTest::addColumn<int>("archiveLength");
    QTest::addColumn<int>("destinationLength");
    QTest::addColumn<bool>("refused");

    QTest::newRow("archive path of 255 characters") << 255 << 0 << false;
    QTest::newRow("archive path of 256 characters") << 256 << 0 << true;
    QTest::newRow("destination folder of 255 characters") << 0 << 255 << false;
    QTest::newRow("destination folder of 256 characters") << 0 << 256 << true;
}

void Tst_Retrieval::Long_Paths()
{
    QFETCH(int, archiveLength);
    QFETCH(int, destinationLength);
    QFETCH(bool, refused);

    Disc cd;
    Program_Folder program(Back_End::Recording_Stub);
    Stub_Recorder stub;
    QString archive = Disc::Dos(QStringLiteral("PIC/ROSE.ZIP"));
    if (archiveLength > 0) {
        const QString name = QStringLiteral("ROSE.ZIP");
        const QString folder =
            Long_Folder(QStringLiteral("D:\\"), cd.Root(), archiveLength - int(name.size()));
        archive = folder + name;
    }
    QString destination = program.Dos();
    if (destinationLength > 0)
        destination = Long_Folder(program.Dos(), program.Native(), destinationLength);
    QCOMPARE(int(archive.size()), archiveLength > 0 ? archiveLength : int(archive.size()));
    QCOMPARE(int(destination.size()),
             destinationLength > 0 ? destinationLength : int(destination.size()));
    const QString scratch = destination + QStringLiteral("decomprs.JPG");
    QFile old(Platform::Native_Path(scratch));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();

    Message_Box_Script script;
    Retrieve_Picture(nullptr, archive, scratch, program.Dos());
    if (refused) {
        QCOMPARE(script.Texts(), QStringList{QString::fromLatin1(Path_Too_Long_Text)});
        QCOMPARE(stub.Log(), QStringList()); // the library was not even loaded
        QVERIFY(!Platform::File_Exists(scratch));
    } else {
        QCOMPARE(script.Texts(), QStringList());
        QCOMPARE(stub.Log(), QStringList({"load", "call", "unload"}));
        // The library got the whole paths, in native form.
        const QStringList texts = stub.Texts();
        QVERIFY(texts.contains("lpszZipFile=[" + Platform::Native_Path(archive) + "]"));
        QVERIFY(texts.contains("lpszDestination=[" + Platform::Native_Path(destination) + "]"));
    }
}

void Tst_Retrieval::Demo_Disc_Pictures_Load()
{
    Disc cd;
    const Mkdisc::Disc_Spec spec = Mkdisc::Demo_Disc();
    QString error;
    QVERIFY2(Mkdisc::Write_Disc(cd.Root(), spec, &error), qPrintable(error));
    Program_Folder program(Back_End::Real);

    Message_Box_Script script;
    int archived = 0;
    for (const Mkdisc::Entry_Spec& entry : spec.Entries) {
        if (!entry.Leaf || entry.Pictures.isEmpty())
            continue;
        Browser_State state;
        state.Picture_Dir = Dos::With_Backslash(Disc::Dos(entry.Picture_Folder));
        state.Picture_Ext = entry.Picture_Ext.startsWith(QLatin1Char('.'))
                                ? entry.Picture_Ext
                                : QLatin1Char('.') + entry.Picture_Ext;
        for (const Mkdisc::Picture_Spec& picture : entry.Pictures)
            state.Thumb_List << Dos::With_Backslash(Disc::Dos(entry.Thumb_Folder)) + picture.Name +
                                    QStringLiteral(".BMP");
        for (int k = 0; k < entry.Pictures.size(); ++k) {
            const QString path = state.Picture_Path(k);
            const QString file = Resolve_Picture_File(path, program.Dos());
            if (!entry.Pictures.at(k).Archived) {
                QCOMPARE(file, path);
                continue;
            }
            ++archived;
            QCOMPARE(file, Scratch_File(program.Dos(), path));
            QImageReader reader(Platform::Native_Path(file));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(path + ": " + reader.errorString()));
            QCOMPARE(image.size(), spec.Picture_Size);
        }
    }
    QVERIFY(archived > 0);
    QCOMPARE(script.Texts(), QStringList());
}

QTEST_MAIN(Tst_Retrieval)
#include "tst_retrieval.moc"
