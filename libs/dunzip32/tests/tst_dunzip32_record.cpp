// The parameter record as both sides lay it out, and the checks the entry point makes
// before it does anything.
#include "Unzip_Call.h"
#include "dunzip32.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstddef>
#include <dlfcn.h>

using dunzip32_test::Unzip_Call;

extern "C" size_t dunzip32_c_record_size(void);
extern "C" size_t dunzip32_c_last_field_offset(void);

namespace {

enum class Kind
{
    Int32,
    Word,
    Address,
    Reserved8,
    Reserved12
};

struct Field
{
    const char* name;
    Kind kind;
    size_t nativeOffset;
    size_t nativeSize;
    size_t tableOffset; // the fixed 32-bit layout
    size_t tableSize;
};

#define FIELD(member, kind, offset, size)                                                          \
    Field                                                                                          \
    {                                                                                              \
#member, kind, offsetof(Unzip_Record, member), sizeof(Unzip_Record::member), offset, size  \
    }

const Field Fields[] = {
    FIELD(recordSize, Kind::Int32, 0, 4),
    FIELD(actionCode, Kind::Int32, 4, 4),
    FIELD(lpszZipFile, Kind::Address, 8, 4),
    FIELD(Work_Buffer, Kind::Address, 12, 4),
    FIELD(lpszFileSpec, Kind::Address, 16, 4),
    FIELD(IndexofItem, Kind::Int32, 20, 4),
    FIELD(lpszDestination, Kind::Address, 24, 4),
    FIELD(FreshenFlag, Kind::Int32, 28, 4),
    FIELD(UpdateFlag, Kind::Int32, 32, 4),
    FIELD(OverWriteFlag, Kind::Int32, 36, 4),
    FIELD(QuietFlag, Kind::Int32, 40, 4),
    FIELD(TestFlag, Kind::Int32, 44, 4),
    FIELD(NoDirectoryNamesFlag, Kind::Int32, 48, 4),
    FIELD(RecurseFlag, Kind::Int32, 52, 4),
    FIELD(NoDirectoryItemsFlag, Kind::Int32, 56, 4),
    FIELD(minorStatusProc, Kind::Address, 60, 4),
    FIELD(minorStatusData, Kind::Address, 64, 4),
    FIELD(majorStatusProc, Kind::Address, 68, 4),
    FIELD(majorStatusData, Kind::Address, 72, 4),
    FIELD(Return_Length, Kind::Int32, 76, 4),
    FIELD(lpszReturnString, Kind::Address, 80, 4),
    FIELD(bDiagnostic, Kind::Int32, 84, 4),
    FIELD(bLF2CRLFFlag, Kind::Int32, 88, 4),
    FIELD(DecryptFlag, Kind::Int32, 92, 4),
    FIELD(lpszDecryptCode, Kind::Address, 96, 4),
    FIELD(messageProc, Kind::Address, 100, 4),
    FIELD(messageData, Kind::Address, 104, 4),
    FIELD(wUnzipSubOptions, Kind::Word, 108, 2),
    FIELD(reserved1, Kind::Reserved8, 110, 8),
    FIELD(renameProc, Kind::Address, 118, 4),
    FIELD(renameData, Kind::Address, 122, 4),
    FIELD(lpszExtProgTitle, Kind::Address, 126, 4),
    FIELD(reserved2, Kind::Reserved12, 130, 12),
};
constexpr size_t Field_Count = sizeof Fields / sizeof Fields[0];

size_t Size_Of(Kind kind, size_t addressSize)
{
    switch (kind) {
    case Kind::Int32:
        return 4;
    case Kind::Word:
        return 2;
    case Kind::Address:
        return addressSize;
    case Kind::Reserved8:
        return 8;
    case Kind::Reserved12:
        return 12;
    }
    return 0;
}

// Offsets of the fields following each other without gaps, for one address size;
// the last element is the size of the record.
std::vector<size_t> Packed_Offsets(size_t addressSize)
{
    std::vector<size_t> offsets{0};
    for (const Field& field : Fields)
        offsets.push_back(offsets.back() + Size_Of(field.kind, addressSize));
    return offsets;
}

} // namespace

class Tst_Dunzip32_Record : public QObject
{
    Q_OBJECT

private slots:
    void fieldLayout_data()
    {
        QTest::addColumn<int>("field");
        for (size_t k = 0; k < Field_Count; ++k)
            QTest::newRow(Fields[k].name) << static_cast<int>(k);
    }

    // Each field sits where the 142-byte table puts it when addresses are 4 bytes, and
    // this build's record puts it where the same packing with its own addresses does.
    void fieldLayout()
    {
        QFETCH(int, field);
        const Field& f = Fields[field];
        const std::vector<size_t> narrow = Packed_Offsets(4);
        QCOMPARE(narrow[field], f.tableOffset);
        QCOMPARE(Size_Of(f.kind, 4), f.tableSize);

        const std::vector<size_t> native = Packed_Offsets(sizeof(void*));
        QCOMPARE(f.nativeOffset, native[field]);
        QCOMPARE(f.nativeSize, Size_Of(f.kind, sizeof(void*)));
    }

    void recordSizes()
    {
        QCOMPARE(Packed_Offsets(4).back(), size_t(DUNZIP_RECORD_SIZE_32));
        QCOMPARE(DUNZIP_RECORD_SIZE_32, 142);
        QCOMPARE(Packed_Offsets(8).back(), size_t(DUNZIP_RECORD_SIZE_64));
        QCOMPARE(sizeof(Unzip_Record), Packed_Offsets(sizeof(void*)).back());
        QCOMPARE(alignof(Unzip_Record), size_t(1));
        QCOMPARE(dunzip32_c_record_size(), sizeof(Unzip_Record));
        QCOMPARE(dunzip32_c_last_field_offset(), offsetof(Unzip_Record, reserved2));
    }

    void badRecords_data()
    {
        QTest::addColumn<int>("recordSize");
        QTest::addColumn<bool>("nullZip");
        QTest::addColumn<bool>("nullDestination");
        const int own = sizeof(Unzip_Record);
        const int other =
            own == DUNZIP_RECORD_SIZE_32 ? DUNZIP_RECORD_SIZE_64 : DUNZIP_RECORD_SIZE_32;
        QTest::newRow("size of the other layout") << other << false << false;
        QTest::newRow("size 0") << 0 << false << false;
        QTest::newRow("size one too big") << own + 1 << false << false;
        QTest::newRow("no archive path") << own << true << false;
        QTest::newRow("no destination") << own << false << true;
    }

    void badRecords()
    {
        QFETCH(int, recordSize);
        QFETCH(bool, nullZip);
        QFETCH(bool, nullDestination);
        QTemporaryDir folder;
        Unzip_Call call(folder.filePath("none.zip").toStdString(), folder.path().toStdString());
        Unzip_Record record = call.Record();
        record.recordSize = recordSize;
        if (nullZip)
            record.lpszZipFile = nullptr;
        if (nullDestination)
            record.lpszDestination = nullptr;
        QCOMPARE(dunzip(&record), DUNZIP_BAD_RECORD);
        QVERIFY(call.messages.empty());
    }

    void nullRecord() { QCOMPARE(dunzip(nullptr), DUNZIP_BAD_RECORD); }

    void otherActions_data()
    {
        QTest::addColumn<int>("action");
        for (int action : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 9, 10})
            QTest::newRow(qPrintable(QString("action %1").arg(action))) << action;
    }

    void otherActions()
    {
        QFETCH(int, action);
        QTemporaryDir folder;
        Unzip_Call call(folder.filePath("none.zip").toStdString(), folder.path().toStdString());
        Unzip_Record record = call.Record();
        record.actionCode = action;
        QCOMPARE(dunzip(&record), DUNZIP_NOT_SUPPORTED);
        QVERIFY(call.statuses.empty());
    }

    // The program finds the library in its folder by file name and binds the entry
    // point by name; nothing else is exported.
    void loadsByName()
    {
        const QByteArray path = qgetenv("ORVINTA_PROGRAM_DIR") + "/" DUNZIP_LIBRARY_FILE;
        void* library = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(library != nullptr, dlerror());
        auto entry = reinterpret_cast<Unzip_EntryPoint>(dlsym(library, DUNZIP_ENTRY_POINT));
        QVERIFY(entry != nullptr);
        QCOMPARE(entry(nullptr), DUNZIP_BAD_RECORD);
        dlclose(library);

        QProcess nm;
        nm.start("nm", {"-D", "--defined-only", QString::fromLocal8Bit(path)});
        if (!nm.waitForFinished() || nm.exitCode() != 0)
            QSKIP("nm is not available");
        QStringList exported;
        for (const QByteArray& line : nm.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() == 3)
                exported << QString::fromLatin1(parts[2]);
        }
        QCOMPARE(exported, QStringList{"dunzip"});
    }
};

QTEST_GUILESS_MAIN(Tst_Dunzip32_Record)
#include "tst_dunzip32_record.moc"
