// The extraction adapter: the record as the library receives it, refused action codes, the
// returned text, loading and unloading, the published properties, direct assignment, load
// failures, and the callbacks reaching their handlers.
#include "DynaLibU.h"
#include "MessageBox.h"
#include "Retrieval_Fixture.h"
#include "Zip_Builder.h"

#include <QDir>
#include <QFile>
#include <QMetaProperty>
#include <QTest>

#include <cstring>
#include <stdexcept>

using namespace retrieval_test;

namespace {

// The record's fields with their offsets and sizes in the 142-byte layout, where addresses
// are 4 bytes; on a 64-bit build each address widens to 8 bytes and moves what follows.
struct Field
{
    const char* name;
    int offset32;
    int size32;
    bool address;
};
constexpr Field Fields[] = {
    {"recordSize", 0, 4, false},
    {"actionCode", 4, 4, false},
    {"lpszZipFile", 8, 4, true},
    {"Work_Buffer", 12, 4, true},
    {"lpszFileSpec", 16, 4, true},
    {"IndexofItem", 20, 4, false},
    {"lpszDestination", 24, 4, true},
    {"FreshenFlag", 28, 4, false},
    {"UpdateFlag", 32, 4, false},
    {"OverWriteFlag", 36, 4, false},
    {"QuietFlag", 40, 4, false},
    {"TestFlag", 44, 4, false},
    {"NoDirectoryNamesFlag", 48, 4, false},
    {"RecurseFlag", 52, 4, false},
    {"NoDirectoryItemsFlag", 56, 4, false},
    {"minorStatusProc", 60, 4, true},
    {"minorStatusData", 64, 4, true},
    {"majorStatusProc", 68, 4, true},
    {"majorStatusData", 72, 4, true},
    {"Return_Length", 76, 4, false},
    {"lpszReturnString", 80, 4, true},
    {"bDiagnostic", 84, 4, false},
    {"bLF2CRLFFlag", 88, 4, false},
    {"DecryptFlag", 92, 4, false},
    {"lpszDecryptCode", 96, 4, true},
    {"messageProc", 100, 4, true},
    {"messageData", 104, 4, true},
    {"wUnzipSubOptions", 108, 2, false},
    {"reserved1", 110, 8, false},
    {"renameProc", 118, 4, true},
    {"renameData", 122, 4, true},
    {"lpszExtProgTitle", 126, 4, true},
    {"reserved2", 130, 12, false},
};
constexpr const char* Flag_Field_Names[] = {
    "FreshenFlag", "UpdateFlag",           "OverWriteFlag", "QuietFlag",
    "TestFlag",    "NoDirectoryNamesFlag", "RecurseFlag",   "NoDirectoryItemsFlag",
    "bDiagnostic", "bLF2CRLFFlag",         "DecryptFlag"};
constexpr int Widening = int(sizeof(void*)) - 4;

// Where a field lies in this build's record, and its size.
std::pair<int, int> Place(const char* name)
{
    int offset = 0;
    for (const Field& f : Fields) {
        const int size = f.address ? f.size32 + Widening : f.size32;
        if (std::strcmp(f.name, name) == 0)
            return {offset, size};
        offset += size;
    }
    throw std::logic_error(name);
}

QByteArray Raw(const Unzip_Record& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

quint64 Read_Field(const QByteArray& raw, const char* name)
{
    const auto [offset, size] = Place(name);
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(raw.at(offset + i));
    return value;
}

void Write_Field(QByteArray& raw, const char* name, quint64 value)
{
    const auto [offset, size] = Place(name);
    for (int i = 0; i < size; ++i)
        raw[offset + i] = char((value >> (8 * i)) & 0xFF);
}

quint64 Address(const void* p)
{
    return quint64(reinterpret_cast<quintptr>(p));
}

// Sets up an adapter as a picture retrieval does.
void Set_For_Extraction(TUnzipFile& unzip)
{
    unzip.Set_Options({TUnzipFlag::OverWriteFlag, TUnzipFlag::QuietFlag});
    unzip.lpszZipFile()->SetText("/media/cdrom/CAT/PIC/ROSE.ZIP");
    unzip.lpszFileSpec()->SetText("*.*");
    unzip.lpszDestination()->SetText("/opt/app/");
}

} // namespace

Q_DECLARE_METATYPE(TUnzipSubOptions)

class Tst_UnzipFile : public QObject
{
    Q_OBJECT
private slots:
    void Record_For_Extraction();
    void Flag_Fields_data();
    void Flag_Fields();
    void Sub_Option_Word_data();
    void Sub_Option_Word();
    void Decrypt_Code_data();
    void Decrypt_Code();
    void Refused_Codes_data();
    void Refused_Codes();
    void Return_String();
    void Load_And_Unload_Per_Adapter();
    void Published_Properties();
    void Direct_Assignment_data();
    void Direct_Assignment();
    void Load_Failure_data();
    void Load_Failure();
    void Callbacks_Reach_Handlers();
    void Cancel_data();
    void Cancel();
    void Message_On_Failure();
    void Rename_Handler_Renames();
};

void Tst_UnzipFile::Record_For_Extraction()
{
    Recording_Program recording;
    auto& [stub, program] = recording;
    TUnzipFile unzip(program.Dos());
    QVERIFY(unzip.Loaded());
    Set_For_Extraction(unzip);
    QVERIFY(unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));

    QCOMPARE(TUnzipFlags({TUnzipFlag::OverWriteFlag, TUnzipFlag::QuietFlag}).Stored(), 12);
    const QByteArray raw = Raw(stub.Record());
    QCOMPARE(Place("reserved2").first + Place("reserved2").second,
             sizeof(void*) == 4 ? DUNZIP_RECORD_SIZE_32 : DUNZIP_RECORD_SIZE_64);

    // Every byte of the record: what a picture retrieval sends, zero everywhere else.
    QByteArray expected(raw.size(), '\0');
    Write_Field(expected, "recordSize", quint64(raw.size()));
    Write_Field(expected, "actionCode", 8);
    Write_Field(expected, "lpszZipFile", Address(unzip.lpszZipFile()->Buffer()));
    Write_Field(expected, "Work_Buffer", Address(unzip.Work_Buffer()));
    Write_Field(expected, "lpszFileSpec", Address(unzip.lpszFileSpec()->Buffer()));
    Write_Field(expected, "lpszDestination", Address(unzip.lpszDestination()->Buffer()));
    Write_Field(expected, "OverWriteFlag", 0xFFFFFFFF);
    Write_Field(expected, "QuietFlag", 0xFFFFFFFF);
    for (const char* data : {"minorStatusData", "majorStatusData", "messageData", "renameData"})
        Write_Field(expected, data, Address(&unzip));
    for (const char* proc : {"minorStatusProc", "majorStatusProc", "messageProc", "renameProc"}) {
        QVERIFY2(Read_Field(raw, proc) != 0, proc);
        Write_Field(expected, proc, Read_Field(raw, proc));
    }
    QCOMPARE(raw.toHex(' '), expected.toHex(' '));
    QVERIFY(Read_Field(raw, "minorStatusProc") != Read_Field(raw, "majorStatusProc"));

    QCOMPARE(stub.Texts(),
             QStringList({"lpszZipFile=[/media/cdrom/CAT/PIC/ROSE.ZIP]", "lpszFileSpec=[*.*]",
                          "lpszDestination=[/opt/app/]", "lpszDecryptCode=(null)",
                          "lpszExtProgTitle=(null)", "lpszReturnString=(null)"}));
    QCOMPARE(unzip.Unzip_Result(), 0);
}

void Tst_UnzipFile::Flag_Fields_data()
{
    QTest::addColumn<int>("bit");
    QTest::addColumn<QByteArray>("field");
    const struct
    {
        TUnzipFlag flag;
        int bit;
        const char* field;
    } rows[] = {
        {TUnzipFlag::FreshenFlag, 0, "FreshenFlag"},
        {TUnzipFlag::UpdateFlag, 1, "UpdateFlag"},
        {TUnzipFlag::OverWriteFlag, 2, "OverWriteFlag"},
        {TUnzipFlag::QuietFlag, 3, "QuietFlag"},
        {TUnzipFlag::TestFlag, 4, "TestFlag"},
        {TUnzipFlag::NoDirectoryNamesFlag, 5, "NoDirectoryNamesFlag"},
        {TUnzipFlag::RecurseFlag, 6, "RecurseFlag"},
        {TUnzipFlag::NoDirectoryItemsFlag, 7, "NoDirectoryItemsFlag"},
        {TUnzipFlag::bDiagnostic, 8, "bDiagnostic"},
        {TUnzipFlag::bLF2CRLFFlag, 9, "bLF2CRLFFlag"},
        {TUnzipFlag::DecryptFlag, 10, "DecryptFlag"},
    };
    for (const auto& r : rows) {
        QCOMPARE(int(r.flag), r.bit);
        QTest::newRow(r.field) << r.bit << QByteArray(r.field);
    }
}

void Tst_UnzipFile::Flag_Fields()
{
    QFETCH(int, bit);
    QFETCH(QByteArray, field);

    Recording_Program recording;
    auto& [stub, program] = recording;
    TUnzipFile unzip(program.Dos());
    const auto flag = TUnzipFlag(bit);
    unzip.Set_Options({flag});
    QCOMPARE(unzip.Options().Stored(), 1 << bit);
    QVERIFY(unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    const QByteArray raw = Raw(stub.Record());
    for (const char* name : Flag_Field_Names)
        QCOMPARE(Read_Field(raw, name), field == name ? quint64(0xFFFFFFFF) : quint64(0));
}

void Tst_UnzipFile::Sub_Option_Word_data()
{
    using O = TUnzipSubOption;
    QTest::addColumn<TUnzipSubOptions>("options");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("word");

    QTest::newRow("removable and log give 384")
        << TUnzipSubOptions{O::USO_FORCEREMOVEABLE, O::USO_LOGZIPRESULTS} << 0xC0 << 384;
    QTest::newRow("overwrite read-only gives 1") << TUnzipSubOptions{O::USO_OVERWRITE_RO} << 1 << 1;
    QTest::newRow("empty gives 0") << TUnzipSubOptions{} << 0 << 0;
    QTest::newRow("all members never give 64")
        << TUnzipSubOptions{O::USO_OVERWRITE_RO,    O::USO_MINORCANCEL,     O::USO_EXTERNALPROG,
                            O::USO_EXTPROGCANCEL,   O::USO_IGNORELONGNAMES, O::USO_MANGLELONGNAMES,
                            O::USO_FORCEREMOVEABLE, O::USO_LOGZIPRESULTS}
        << 0xFF << 1 + 2 + 4 + 8 + 16 + 32 + 128 + 256;
    QTest::newRow("long-name members give 48")
        << TUnzipSubOptions{O::USO_IGNORELONGNAMES, O::USO_MANGLELONGNAMES} << 0x30 << 48;
}

void Tst_UnzipFile::Sub_Option_Word()
{
    QFETCH(TUnzipSubOptions, options);
    QFETCH(int, stored);
    QFETCH(int, word);

    QCOMPARE(int(options.Stored()), stored);
    Recording_Program recording;
    auto& [stub, program] = recording;
    TUnzipFile unzip(program.Dos());
    unzip.Set_wUnzipSubOptions(options);
    QVERIFY(unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    const QByteArray raw = Raw(stub.Record());
    QCOMPARE(int(Read_Field(raw, "wUnzipSubOptions")), word);
    QCOMPARE(Read_Field(raw, "reserved1"), quint64(0));
}

void Tst_UnzipFile::Decrypt_Code_data()
{
    QTest::addColumn<QByteArray>("code"); // null: never set
    QTest::addColumn<QString>("seen");

    QTest::newRow("never set: null address") << QByteArray() << "lpszDecryptCode=(null)";
    QTest::newRow("set empty: address of an empty text") << QByteArray("") << "lpszDecryptCode=[]";
    QTest::newRow("a code") << QByteArray("secret") << "lpszDecryptCode=[secret]";
}

void Tst_UnzipFile::Decrypt_Code()
{
    QFETCH(QByteArray, code);
    QFETCH(QString, seen);

    Recording_Program recording;
    auto& [stub, program] = recording;
    TUnzipFile unzip(program.Dos());
    if (!code.isNull())
        unzip.lpszDecryptCode()->SetText(code.constData());
    QVERIFY(unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    QCOMPARE(Read_Field(Raw(stub.Record()), "lpszDecryptCode"),
             Address(unzip.lpszDecryptCode()->Buffer()));
    QVERIFY(stub.Texts().contains(seen));
}

void Tst_UnzipFile::Refused_Codes_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("0") << 0;
    QTest::newRow("10") << 10;
    QTest::newRow("-1") << -1;
}

void Tst_UnzipFile::Refused_Codes()
{
    QFETCH(int, code);

    Recording_Program recording;
    auto& [stub, program] = recording;
    TUnzipFile unzip(program.Dos());
    stub.Set_Result(DUNZIP_ENCRYPTED);
    QVERIFY(!unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    QCOMPARE(unzip.Unzip_Result(), DUNZIP_ENCRYPTED);

    stub.Set_Result(0);
    unzip.Set_Return_Length(5);
    QVERIFY(!unzip.Unzip_Execute(code));
    QCOMPARE(unzip.Unzip_Result(), DUNZIP_ENCRYPTED);    // unchanged
    QCOMPARE(stub.Log(), QStringList({"load", "call"})); // the library was not called again
    QCOMPARE(Read_Field(Raw(stub.Record()), "actionCode"), quint64(8));
    QVERIFY(unzip.lpszReturnString()->Buffer() == nullptr);
}

void Tst_UnzipFile::Return_String()
{
    Recording_Program recording;
    auto& [stub, program] = recording;
    TUnzipFile unzip(program.Dos());

    // Code 6 gives the library a buffer of Return_Length + 1 bytes; after success the
    // length it reports is read back.
    unzip.Set_Return_Length(40);
    stub.Set_Return_Length(77);
    QVERIFY(unzip.Unzip_Execute(6));
    QCOMPARE(int(unzip.lpszReturnString()->Capacity()), 41);
    QVERIFY(unzip.lpszReturnString()->Fixed());
    const QByteArray raw = Raw(stub.Record());
    QCOMPARE(Read_Field(raw, "lpszReturnString"), Address(unzip.lpszReturnString()->Buffer()));
    QCOMPARE(Read_Field(raw, "Return_Length"), quint64(40));
    QCOMPARE(unzip.Return_Length(), 77u);

    // After a failure the length is not read back.
    stub.Set_Return_Length(5);
    stub.Set_Result(DUNZIP_NOT_SUPPORTED);
    QVERIFY(!unzip.Unzip_Execute(6));
    QCOMPARE(unzip.Return_Length(), 77u);
    QCOMPARE(int(unzip.lpszReturnString()->Capacity()), 78);

    // Other codes leave the holder as it is.
    TUnzipFile other(program.Dos());
    other.Set_Return_Length(40);
    stub.Set_Result(0);
    QVERIFY(other.Unzip_Execute(5));
    QVERIFY(other.lpszReturnString()->Buffer() == nullptr);
}

void Tst_UnzipFile::Load_And_Unload_Per_Adapter()
{
    Recording_Program recording;
    auto& [stub, program] = recording;
    for (int i = 0; i < 2; ++i) {
        TUnzipFile unzip(program.Dos());
        QVERIFY(unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    }
    QCOMPARE(stub.Log(), QStringList({"load", "call", "unload", "load", "call", "unload"}));
}

void Tst_UnzipFile::Published_Properties()
{
    Recording_Program recording;
    auto& [stub, program] = recording;
    TUnzipFile unzip(program.Dos());
    const QMetaObject& meta = TUnzipFile::staticMetaObject;
    QStringList names;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        names << QString::fromLatin1(property.name());
        const QVariant value = property.read(&unzip);
        if (property.metaType() == QMetaType::fromType<TLPStr*>()) {
            const TLPStr* holder = value.value<TLPStr*>();
            QVERIFY(holder != nullptr);
            QVERIFY2(holder->Buffer() == nullptr && !holder->Fixed(), property.name());
        }
    }
    QCOMPARE(names, QStringList({"lpszZipFile", "lpszFileSpec", "IndexofItem", "lpszDestination",
                                 "Options", "lpszDecryptCode", "wUnzipSubOptions",
                                 "lpszExtProgTitle", "lpszReturnString"}));
    QCOMPARE(unzip.IndexofItem(), 0);
    QVERIFY(unzip.Options().Is_Empty());
    QVERIFY(unzip.wUnzipSubOptions().Is_Empty());
    QCOMPARE(unzip.Unzip_Result(), 0);
    QCOMPARE(unzip.Return_Length(), 0u);
    QVERIFY(stub.Log() == QStringList({"load"}));
}

void Tst_UnzipFile::Direct_Assignment_data()
{
    QTest::addColumn<QByteArray>("property");
    for (const char* name : {"lpszZipFile", "lpszFileSpec", "lpszDestination", "lpszDecryptCode",
                             "lpszExtProgTitle", "lpszReturnString"})
        QTest::newRow(name) << QByteArray(name);
}

void Tst_UnzipFile::Direct_Assignment()
{
    QFETCH(QByteArray, property);

    Recording_Program recording;
    auto& [stub, program] = recording;
    TUnzipFile unzip(program.Dos());
    TLPStr* own = unzip.property(property.constData()).value<TLPStr*>();
    own->SetText("kept");
    TLPStr other;
    other.SetText("other");

    Message_Box_Script script;
    unzip.setProperty(property.constData(), QVariant::fromValue(&other));
    QCOMPARE(script.Boxes().size(), 1);
    QCOMPARE(script.Boxes().at(0).text,
             QStringLiteral("Cannot Directly assign a value to type LPSTR.  Use SetText"));
    QCOMPARE(script.Boxes().at(0).type, Box_Type::Information);
    QCOMPARE(script.Boxes().at(0).buttons, Box_Buttons::Ok);
    QCOMPARE(unzip.property(property.constData()).value<TLPStr*>(), own);
    QCOMPARE(own->GetText(), QByteArray("kept"));
}

void Tst_UnzipFile::Load_Failure_data()
{
    QTest::addColumn<int>("backEnd");
    QTest::addColumn<QString>("text");
    QTest::newRow("library missing") << int(Back_End::None) << "Could not load DUNZIP32.DLL!";
    QTest::newRow("entry point missing")
        << int(Back_End::No_Entry) << "Could not load dunzip function!";
}

void Tst_UnzipFile::Load_Failure()
{
    QFETCH(int, backEnd);
    QFETCH(QString, text);

    Program_Folder program{Back_End(backEnd)};
    Ending_Recorder ending;
    Message_Box_Script script;
    TUnzipFile unzip(program.Dos());
    QCOMPARE(script.Texts(), QStringList{text});
    QCOMPARE(script.Boxes().at(0).type, Box_Type::Warning);
    QCOMPARE(script.Boxes().at(0).buttons, Box_Buttons::Ok);
    QCOMPARE(ending.Codes(), QList<int>{1});
    // Where the ending returns (only here), the adapter performs nothing.
    QVERIFY(!unzip.Loaded());
    QVERIFY(!unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    QCOMPARE(unzip.Unzip_Result(), 0);
}

namespace {

// An archive of two members and an empty destination, for runs of the real back end.
struct Extraction
{
    Program_Folder program{Back_End::Real};
    QTemporaryDir dest;
    QString zip = program.File(QStringLiteral("TWO.ZIP"));
    Extraction()
    {
        dunzip32_test::Write_Deflated_Zip(
            QFile::encodeName(zip).toStdString(),
            {{"ROSE.JPG", dunzip32_test::Noise(200000, 1)}, {"README.TXT", "read me"}});
    }
    void Set(TUnzipFile& unzip) const
    {
        unzip.Set_Options({TUnzipFlag::OverWriteFlag, TUnzipFlag::QuietFlag});
        unzip.lpszZipFile()->SetText(QFile::encodeName(zip));
        unzip.lpszFileSpec()->SetText("*.*");
        unzip.lpszDestination()->SetText(QFile::encodeName(dest.path() + '/'));
    }
    QStringList Written() const
    {
        return QDir(dest.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
};

} // namespace

void Tst_UnzipFile::Callbacks_Reach_Handlers()
{
    Extraction run;
    TUnzipFile unzip(run.program.Dos());
    run.Set(unzip);
    QStringList majors, renames;
    QList<int> lastMinor;
    int messages = 0;
    unzip.OnMajorCallback = [&](const QString& item, int, bool& cancel) {
        QVERIFY(!cancel);
        majors << item;
        lastMinor << -1;
    };
    unzip.OnMinorCallback = [&](const QString&, int percent, bool&) { lastMinor.last() = percent; };
    unzip.OnMessageCallback = [&](std::uint16_t, std::uint16_t, int, int, const QString&,
                                  const QString&, int&) { ++messages; };
    unzip.OnRenameCallback = [&](PDZRename dzr) { renames << QString::fromUtf8(dzr->memberName); };

    QVERIFY(unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    QCOMPARE(majors, QStringList({"ROSE.JPG", "README.TXT"}));
    QCOMPARE(lastMinor, QList<int>({100, 100}));
    QCOMPARE(renames, QStringList({"ROSE.JPG", "README.TXT"}));
    QCOMPARE(messages, 0);
    QCOMPARE(run.Written(), QStringList({"README.TXT", "ROSE.JPG"}));
}

void Tst_UnzipFile::Cancel_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("major status cancels") << "major";
    QTest::newRow("minor status cancels") << "minor";
    QTest::newRow("rename handler throws") << "throw";
}

void Tst_UnzipFile::Cancel()
{
    QFETCH(QString, how);

    Extraction run;
    TUnzipFile unzip(run.program.Dos());
    run.Set(unzip);
    if (how == "major")
        unzip.OnMajorCallback = [](const QString&, int, bool& cancel) { cancel = true; };
    else if (how == "minor")
        unzip.OnMinorCallback = [](const QString&, int percent, bool& cancel) {
            cancel = percent > 0;
        };
    else
        unzip.OnRenameCallback = [](PDZRename) { throw std::runtime_error("handler failed"); };

    if (how == "throw") {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    } else {
        QVERIFY(!unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    }
    QCOMPARE(unzip.Unzip_Result(), DUNZIP_CANCELLED);
    QCOMPARE(run.Written(), QStringList());
}

void Tst_UnzipFile::Message_On_Failure()
{
    Extraction run;
    QFile::remove(run.zip);
    TUnzipFile unzip(run.program.Dos());
    run.Set(unzip);
    QList<int> ids, types;
    QString path;
    unzip.OnMessageCallback = [&](std::uint16_t id, std::uint16_t type, int, int,
                                  const QString& text1, const QString&, int& result) {
        QCOMPARE(result, 0);
        ids << id;
        types << type;
        path = text1;
        result = 1;
    };
    QVERIFY(!unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    QCOMPARE(unzip.Unzip_Result(), DUNZIP_ARCHIVE_MISSING);
    QCOMPARE(ids, QList<int>{DUNZIP_ARCHIVE_MISSING});
    QCOMPARE(types, QList<int>{DUNZIP_MB_WARNING});
    QCOMPARE(path, run.zip);
}

void Tst_UnzipFile::Rename_Handler_Renames()
{
    Extraction run;
    TUnzipFile unzip(run.program.Dos());
    run.Set(unzip);
    unzip.OnRenameCallback = [](PDZRename dzr) {
        if (std::strcmp(dzr->memberName, "README.TXT") == 0)
            dzr->newName[0] = '\0'; // skip it
        else
            std::strcpy(dzr->newName, "renamed.jpg");
    };
    QVERIFY(unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT));
    QCOMPARE(run.Written(), QStringList({"renamed.jpg"}));
}

QTEST_GUILESS_MAIN(Tst_UnzipFile)
#include "tst_unzipfile.moc"
