// Windows: the raw command line, the file through CreateFileW and the clipboard
// as CF_METAFILEPICT. The clipboard owns the metafile once it is placed, so the
// program ends right after placing it.

#include "Command_Line.h"
#include "System.h"

#include <windows.h>

namespace tarvesk {
namespace {

class Win32_File : public File_Reader
{
public:
    explicit Win32_File(HANDLE handle) : handle_(handle) {}
    ~Win32_File() override { CloseHandle(handle_); }
    Win32_File(const Win32_File&) = delete;
    Win32_File& operator=(const Win32_File&) = delete;

    std::size_t Read(std::uint8_t* into, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count) {
            const std::size_t left = count - done;
            const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
            DWORD got = 0;
            if (!ReadFile(handle_, into + done, chunk, &got, nullptr) || got == 0)
                break;
            done += got;
        }
        return done;
    }

    std::int64_t Length() override
    {
        LARGE_INTEGER size;
        return GetFileSizeEx(handle_, &size) ? static_cast<std::int64_t>(size.QuadPart) : -1;
    }

    bool Seek(std::int64_t offset) override
    {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) != 0;
    }

private:
    HANDLE handle_;
};

class Win32_Clipboard : public Clipboard
{
public:
    Place_Result Place(const Placeable_File& file, const Picture_Extents& extents) override
    {
        HMETAFILE metafile =
            SetMetaFileBitsEx(static_cast<UINT>(file.metafile.size()), file.metafile.data());
        if (!metafile)
            return Place_Result::Data_Rejected;
        if (!OpenClipboard(nullptr)) {
            DeleteMetaFile(metafile);
            return Place_Result::Clipboard_Unavailable;
        }
        if (!EmptyClipboard()) {
            CloseClipboard();
            DeleteMetaFile(metafile);
            return Place_Result::Clipboard_Unavailable;
        }
        HGLOBAL memory = GlobalAlloc(GMEM_FIXED, sizeof(METAFILEPICT));
        auto* picture = memory ? static_cast<METAFILEPICT*>(GlobalLock(memory)) : nullptr;
        if (!picture) {
            if (memory)
                GlobalFree(memory);
            CloseClipboard();
            DeleteMetaFile(metafile);
            return Place_Result::Clipboard_Unavailable;
        }
        picture->mm = extents.mapping_mode;
        picture->xExt = extents.x_ext;
        picture->yExt = extents.y_ext;
        picture->hMF = metafile;
        GlobalUnlock(memory);
        SetClipboardData(CF_METAFILEPICT, memory);
        CloseClipboard();
        return Place_Result::Placed;
    }
};

} // namespace

std::unique_ptr<File_Reader> Open_Command_Line_File(int, char**)
{
    const std::wstring path = Path_From_Command_Line(std::wstring_view(GetCommandLineW()));
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32_File>(handle);
}

std::unique_ptr<Clipboard> System_Clipboard()
{
    return std::make_unique<Win32_Clipboard>();
}

} // namespace tarvesk
