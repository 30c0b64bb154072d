#pragma once
// The program's side of the archive back end: TUnzipFile loads the library from the program's
// folder when it is created, fills the library's parameter record from its properties, calls
// the entry point "dunzip", and unloads the library when it is destroyed. One adapter serves
// one command.
//
// The four notification properties of TDynaZip are std::function values: the library calls
// them synchronously during Unzip_Execute, and a status handler answers through its DoCancel
// reference, which a Qt signal could not carry back.

#include "LPStr.h"
#include "dunzip32.h"

#include <QLibrary>
#include <QObject>
#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>

// A set of enumerators stored as the bits of an unsigned integer (bit n for the enumerator
// with value n).
template <typename Enum, typename Bits> class Bit_Set
{
public:
    constexpr Bit_Set() = default;
    constexpr Bit_Set(std::initializer_list<Enum> members)
    {
        for (Enum member : members)
            m_bits = Bits(m_bits | Bit(member));
    }
    static constexpr Bit_Set From_Bits(Bits bits)
    {
        Bit_Set set;
        set.m_bits = bits;
        return set;
    }
    constexpr bool Contains(Enum member) const { return (m_bits & Bit(member)) != 0; }
    constexpr void Include(Enum member) { m_bits = Bits(m_bits | Bit(member)); }
    constexpr void Exclude(Enum member) { m_bits = Bits(m_bits & ~Bit(member)); }
    constexpr bool Is_Empty() const { return m_bits == 0; }
    // The stored value.
    constexpr Bits Stored() const { return m_bits; }
    friend constexpr bool operator==(Bit_Set, Bit_Set) = default;

private:
    static constexpr Bits Bit(Enum member) { return Bits(Bits(1) << unsigned(member)); }
    Bits m_bits = 0;
};

enum class TUnzipFlag : std::uint8_t
{
    FreshenFlag = DUNZIP_BIT_FRESHEN,
    UpdateFlag = DUNZIP_BIT_UPDATE,
    OverWriteFlag = DUNZIP_BIT_OVERWRITE,
    QuietFlag = DUNZIP_BIT_QUIET,
    TestFlag = DUNZIP_BIT_TEST,
    NoDirectoryNamesFlag = DUNZIP_BIT_NO_DIRECTORY_NAMES,
    RecurseFlag = DUNZIP_BIT_RECURSE,
    NoDirectoryItemsFlag = DUNZIP_BIT_NO_DIRECTORY_ITEMS,
    bDiagnostic = DUNZIP_BIT_DIAGNOSTIC,
    bLF2CRLFFlag = DUNZIP_BIT_LF2CRLF,
    DecryptFlag = DUNZIP_BIT_DECRYPT
};
using TUnzipFlags = Bit_Set<TUnzipFlag, std::uint16_t>;

enum class TUnzipSubOption : std::uint8_t
{
    USO_OVERWRITE_RO = 0,
    USO_MINORCANCEL = 1,
    USO_EXTERNALPROG = 2,
    USO_EXTPROGCANCEL = 3,
    USO_IGNORELONGNAMES = 4,
    USO_MANGLELONGNAMES = 5,
    USO_FORCEREMOVEABLE = 6,
    USO_LOGZIPRESULTS = 7
};
using TUnzipSubOptions = Bit_Set<TUnzipSubOption, std::uint8_t>;

// The record's sub-option word: the sum of the members' values (1, 2, 4, 8, 16, 32, 128,
// 256; 64 is never produced).
std::uint16_t Sub_Option_Word(TUnzipSubOptions options);

using TStatusCallback = std::function<void(const QString& szItem, int Percent, bool& DoCancel)>;
using TMessageCallback =
    std::function<void(std::uint16_t MsgID, std::uint16_t mbType, int p1, int p2,
                       const QString& lpsz1, const QString& lpsz2, int& RtnResult)>;
using TRenameCallback = std::function<void(PDZRename dzr)>;

// The fixed texts of the adapter.
inline constexpr char Load_Library_Failed[] = "Could not load DUNZIP32.DLL!";
inline constexpr char Load_Function_Failed[] = "Could not load dunzip function!";
inline constexpr char Direct_Assignment_Refused[] =
    "Cannot Directly assign a value to type LPSTR.  Use SetText";

// What ends the program after the library or its entry point could not be loaded. The
// default calls std::exit. Tests install their own to watch the ending in-process; when
// that one returns, the adapter stays without a library and performs nothing.
using Program_End_Function = std::function<void(int exitCode)>;
// Installs end (an empty function restores the default); returns the previous one.
Program_End_Function Set_Program_End(Program_End_Function end);

class TDynaZip : public QObject
{
    Q_OBJECT
public:
    explicit TDynaZip(QObject* owner = nullptr) : QObject(owner) {}

    // Called only when assigned. Handlers must not let the library see an exception: one that
    // escapes a handler cancels the run and is thrown again from Unzip_Execute.
    TStatusCallback OnMajorCallback;
    TStatusCallback OnMinorCallback;
    TMessageCallback OnMessageCallback;
    TRenameCallback OnRenameCallback;
};

class TUnzipFile : public TDynaZip
{
    Q_OBJECT
    // Published properties, in this order.
    Q_PROPERTY(TLPStr* lpszZipFile READ lpszZipFile WRITE Set_lpszZipFile)
    Q_PROPERTY(TLPStr* lpszFileSpec READ lpszFileSpec WRITE Set_lpszFileSpec)
    Q_PROPERTY(qint32 IndexofItem READ IndexofItem WRITE Set_IndexofItem)
    Q_PROPERTY(TLPStr* lpszDestination READ lpszDestination WRITE Set_lpszDestination)
    Q_PROPERTY(TUnzipFlags Options READ Options WRITE Set_Options)
    Q_PROPERTY(TLPStr* lpszDecryptCode READ lpszDecryptCode WRITE Set_lpszDecryptCode)
    Q_PROPERTY(TUnzipSubOptions wUnzipSubOptions READ wUnzipSubOptions WRITE Set_wUnzipSubOptions)
    Q_PROPERTY(TLPStr* lpszExtProgTitle READ lpszExtProgTitle WRITE Set_lpszExtProgTitle)
    Q_PROPERTY(TLPStr* lpszReturnString READ lpszReturnString WRITE Set_lpszReturnString)

public:
    static constexpr std::size_t Work_Buffer_Size = 310;

    // Loads the library DUNZIP_LIBRARY_FILE from programDir (a folder in Windows form). When
    // the library or its entry point "dunzip" cannot be loaded, shows a warning box and ends
    // the program with exit code 1.
    explicit TUnzipFile(const QString& programDir, QObject* owner = nullptr);
    // Releases the holders and the work buffer, then unloads the library.
    ~TUnzipFile() override;

    // Runs one action of the library: false without calling it for a code outside 1..9 (the
    // record and Unzip_Result stay as they were); code 6 first sizes lpszReturnString to
    // Return_Length + 1. False when the library returns a non-zero result; after success
    // Return_Length holds what the library reported.
    bool Unzip_Execute(int code);

    qint32 Unzip_Result() const { return m_unzipResult; }
    std::uint32_t Return_Length() const { return m_returnLength; }
    void Set_Return_Length(std::uint32_t length) { m_returnLength = length; }
    // True when the library and its entry point were loaded.
    bool Loaded() const { return m_entry != nullptr; }

    TLPStr* lpszZipFile() const { return m_zipFile.get(); }
    TLPStr* lpszFileSpec() const { return m_fileSpec.get(); }
    qint32 IndexofItem() const { return m_indexOfItem; }
    TLPStr* lpszDestination() const { return m_destination.get(); }
    TUnzipFlags Options() const { return m_options; }
    TLPStr* lpszDecryptCode() const { return m_decryptCode.get(); }
    TUnzipSubOptions wUnzipSubOptions() const { return m_subOptions; }
    TLPStr* lpszExtProgTitle() const { return m_extProgTitle.get(); }
    TLPStr* lpszReturnString() const { return m_returnString.get(); }

    void Set_IndexofItem(qint32 index) { m_indexOfItem = index; }
    void Set_Options(TUnzipFlags options) { m_options = options; }
    void Set_wUnzipSubOptions(TUnzipSubOptions options) { m_subOptions = options; }
    // Text properties change only through their holder's SetText: assigning a holder shows
    // an information box and leaves the property as it was.
    void Set_lpszZipFile(TLPStr*) { Refuse_Assignment(); }
    void Set_lpszFileSpec(TLPStr*) { Refuse_Assignment(); }
    void Set_lpszDestination(TLPStr*) { Refuse_Assignment(); }
    void Set_lpszDecryptCode(TLPStr*) { Refuse_Assignment(); }
    void Set_lpszExtProgTitle(TLPStr*) { Refuse_Assignment(); }
    void Set_lpszReturnString(TLPStr*) { Refuse_Assignment(); }

    // The adapter's 310-byte block whose address the record carries; the program neither sets
    // nor reads it.
    const void* Work_Buffer() const { return m_workBuffer.get(); }

private:
    static void Refuse_Assignment();
    void Load(const QString& programDir);
    void Fill_Record(int code);

    static int32_t DUNZIP_CALL On_Major_Status(const char* item, int32_t percent, void* data);
    static int32_t DUNZIP_CALL On_Minor_Status(const char* item, int32_t percent, void* data);
    static int32_t DUNZIP_CALL On_Message(int32_t msgId, int32_t mbType, int32_t p1, int32_t p2,
                                          const char* text1, const char* text2, void* data);
    static int32_t DUNZIP_CALL On_Rename(DZRename* rename, void* data);
    int32_t Status(const TStatusCallback& handler, const char* item, int32_t percent);

    QLibrary m_library;
    Unzip_EntryPoint m_entry = nullptr;

    std::unique_ptr<TLPStr> m_zipFile, m_fileSpec, m_destination, m_decryptCode, m_extProgTitle,
        m_returnString;
    qint32 m_indexOfItem = 0;
    TUnzipFlags m_options;
    TUnzipSubOptions m_subOptions;

    qint32 m_unzipResult = 0;
    std::uint32_t m_returnLength = 0;
    std::uint32_t m_reserved[3] = {0, 0, 0}; // copied into the record's last three fields
    std::unique_ptr<unsigned char[]> m_workBuffer;
    Unzip_Record m_record{};
    std::exception_ptr m_handlerError; // an exception a handler threw during the call
};
