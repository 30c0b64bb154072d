#include "DynaLibU.h"

#include "DosPath.h"
#include "MessageBox.h"

#include <cstdlib>
#include <cstring>

namespace {

Program_End_Function& Program_End()
{
    static Program_End_Function end;
    return end;
}

void End_Program(int exitCode)
{
    if (Program_End())
        Program_End()(exitCode);
    else
        std::exit(exitCode);
}

int32_t Flag(TUnzipFlags options, TUnzipFlag flag)
{
    return options.Contains(flag) ? DUNZIP_FLAG_ON : DUNZIP_FLAG_OFF;
}

QString Text(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace

Program_End_Function Set_Program_End(Program_End_Function end)
{
    Program_End_Function previous = std::move(Program_End());
    Program_End() = std::move(end);
    return previous;
}

std::uint16_t Sub_Option_Word(TUnzipSubOptions options)
{
    static constexpr struct
    {
        TUnzipSubOption member;
        std::uint16_t value;
    } values[] = {
        {TUnzipSubOption::USO_OVERWRITE_RO, DUNZIP_USO_OVERWRITE_RO},
        {TUnzipSubOption::USO_MINORCANCEL, DUNZIP_USO_MINORCANCEL},
        {TUnzipSubOption::USO_EXTERNALPROG, DUNZIP_USO_EXTERNALPROG},
        {TUnzipSubOption::USO_EXTPROGCANCEL, DUNZIP_USO_EXTPROGCANCEL},
        {TUnzipSubOption::USO_IGNORELONGNAMES, DUNZIP_USO_IGNORELONGNAMES},
        {TUnzipSubOption::USO_MANGLELONGNAMES, DUNZIP_USO_MANGLELONGNAMES},
        {TUnzipSubOption::USO_FORCEREMOVEABLE, DUNZIP_USO_FORCEREMOVEABLE},
        {TUnzipSubOption::USO_LOGZIPRESULTS, DUNZIP_USO_LOGZIPRESULTS},
    };
    std::uint16_t word = 0;
    for (const auto& v : values) {
        if (options.Contains(v.member))
            word = std::uint16_t(word + v.value);
    }
    return word;
}

TUnzipFile::TUnzipFile(const QString& programDir, QObject* owner) : TDynaZip(owner)
{
    m_zipFile = std::make_unique<TLPStr>(0);
    m_fileSpec = std::make_unique<TLPStr>(0);
    m_destination = std::make_unique<TLPStr>(0);
    m_decryptCode = std::make_unique<TLPStr>(0);
    m_extProgTitle = std::make_unique<TLPStr>(0);
    m_returnString = std::make_unique<TLPStr>(0);
    m_workBuffer = std::make_unique<unsigned char[]>(Work_Buffer_Size);
    Load(programDir);
}

TUnzipFile::~TUnzipFile()
{
    m_zipFile.reset();
    m_fileSpec.reset();
    m_destination.reset();
    m_decryptCode.reset();
    m_extProgTitle.reset();
    m_returnString.reset();
    m_workBuffer.reset();
    m_entry = nullptr;
    if (m_library.isLoaded())
        m_library.unload();
}

void TUnzipFile::Load(const QString& programDir)
{
    // Only the program's own folder is searched: the path is absolute, so the loader looks
    // nowhere else.
    m_library.setFileName(Platform::Native_Path(Dos::With_Backslash(programDir) +
                                                QLatin1String(DUNZIP_LIBRARY_FILE)));
    if (!m_library.load()) {
        Message_Box(QString::fromLatin1(Load_Library_Failed), Box_Type::Warning, Box_Buttons::Ok);
        End_Program(1);
        return;
    }
    const auto entry = reinterpret_cast<Unzip_EntryPoint>(m_library.resolve(DUNZIP_ENTRY_POINT));
    if (entry == nullptr) {
        Message_Box(QString::fromLatin1(Load_Function_Failed), Box_Type::Warning, Box_Buttons::Ok);
        m_library.unload();
        End_Program(1);
        return;
    }
    m_entry = entry;
}

void TUnzipFile::Refuse_Assignment()
{
    Message_Box(QString::fromLatin1(Direct_Assignment_Refused), Box_Type::Information,
                Box_Buttons::Ok);
}

void TUnzipFile::Fill_Record(int code)
{
    std::memset(&m_record, 0, sizeof m_record);
    m_record.recordSize = int32_t(sizeof(Unzip_Record));
    m_record.lpszZipFile = m_zipFile->Buffer();
    m_record.Work_Buffer = m_workBuffer.get();
    m_record.lpszFileSpec = m_fileSpec->Buffer();
    m_record.IndexofItem = m_indexOfItem;
    m_record.lpszDestination = m_destination->Buffer();
    m_record.FreshenFlag = Flag(m_options, TUnzipFlag::FreshenFlag);
    m_record.UpdateFlag = Flag(m_options, TUnzipFlag::UpdateFlag);
    m_record.OverWriteFlag = Flag(m_options, TUnzipFlag::OverWriteFlag);
    m_record.QuietFlag = Flag(m_options, TUnzipFlag::QuietFlag);
    m_record.TestFlag = Flag(m_options, TUnzipFlag::TestFlag);
    m_record.NoDirectoryNamesFlag = Flag(m_options, TUnzipFlag::NoDirectoryNamesFlag);
    m_record.RecurseFlag = Flag(m_options, TUnzipFlag::RecurseFlag);
    m_record.NoDirectoryItemsFlag = Flag(m_options, TUnzipFlag::NoDirectoryItemsFlag);
    m_record.minorStatusProc = &TUnzipFile::On_Minor_Status;
    m_record.minorStatusData = this;
    m_record.majorStatusProc = &TUnzipFile::On_Major_Status;
    m_record.majorStatusData = this;
    m_record.Return_Length = m_returnLength;
    m_record.lpszReturnString = m_returnString->Buffer();
    m_record.bDiagnostic = Flag(m_options, TUnzipFlag::bDiagnostic);
    m_record.bLF2CRLFFlag = Flag(m_options, TUnzipFlag::bLF2CRLFFlag);
    m_record.DecryptFlag = Flag(m_options, TUnzipFlag::DecryptFlag);
    m_record.lpszDecryptCode = m_decryptCode->Buffer();
    m_record.messageProc = &TUnzipFile::On_Message;
    m_record.messageData = this;
    m_record.wUnzipSubOptions = Sub_Option_Word(m_subOptions);
    m_record.renameProc = &TUnzipFile::On_Rename;
    m_record.renameData = this;
    m_record.lpszExtProgTitle = m_extProgTitle->Buffer();
    for (int i = 0; i < 3; ++i)
        m_record.reserved2[i] = m_reserved[i];
    m_record.actionCode = code;
}

bool TUnzipFile::Unzip_Execute(int code)
{
    if (code < 1 || code > 9 || !Loaded())
        return false;
    if (code == 6)
        m_returnString->SetSize(std::uint16_t(m_returnLength + 1));
    Fill_Record(code);
    m_handlerError = nullptr;
    m_unzipResult = m_entry(&m_record);
    if (m_handlerError)
        std::rethrow_exception(std::exchange(m_handlerError, nullptr));
    if (m_unzipResult != DUNZIP_OK)
        return false;
    m_returnLength = m_record.Return_Length;
    return true;
}

int32_t TUnzipFile::Status(const TStatusCallback& handler, const char* item, int32_t percent)
{
    if (!handler || m_handlerError)
        return m_handlerError ? DUNZIP_CANCEL : DUNZIP_CONTINUE;
    try {
        bool doCancel = false;
        handler(Text(item), percent, doCancel);
        return doCancel ? DUNZIP_CANCEL : DUNZIP_CONTINUE;
    } catch (...) {
        m_handlerError = std::current_exception();
        return DUNZIP_CANCEL;
    }
}

int32_t DUNZIP_CALL TUnzipFile::On_Major_Status(const char* item, int32_t percent, void* data)
{
    auto* self = static_cast<TUnzipFile*>(data);
    return self->Status(self->OnMajorCallback, item, percent);
}

int32_t DUNZIP_CALL TUnzipFile::On_Minor_Status(const char* item, int32_t percent, void* data)
{
    auto* self = static_cast<TUnzipFile*>(data);
    return self->Status(self->OnMinorCallback, item, percent);
}

int32_t DUNZIP_CALL TUnzipFile::On_Message(int32_t msgId, int32_t mbType, int32_t p1, int32_t p2,
                                           const char* text1, const char* text2, void* data)
{
    auto* self = static_cast<TUnzipFile*>(data);
    if (!self->OnMessageCallback || self->m_handlerError)
        return 0;
    try {
        int rtnResult = 0;
        self->OnMessageCallback(std::uint16_t(msgId), std::uint16_t(mbType), p1, p2, Text(text1),
                                Text(text2), rtnResult);
        return rtnResult;
    } catch (...) {
        self->m_handlerError = std::current_exception();
        return 0;
    }
}

int32_t DUNZIP_CALL TUnzipFile::On_Rename(DZRename* rename, void* data)
{
    auto* self = static_cast<TUnzipFile*>(data);
    if (!self->OnRenameCallback)
        return 0;
    if (self->m_handlerError)
        return DUNZIP_CANCEL;
    try {
        self->OnRenameCallback(rename);
        return 0;
    } catch (...) {
        self->m_handlerError = std::current_exception();
        return DUNZIP_CANCEL;
    }
}
