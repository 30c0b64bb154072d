// Checks the Windows build of tarvesk from inside Windows (run under Wine):
// starts tarvesk.exe from its own folder with several command lines, then
// reads CF_METAFILEPICT back and compares mode, extents and metafile bits.
// It prints one line per check and ends with 0 when all passed. Wine keeps its
// clipboard only while a Wine program runs: this one runs throughout.

#include "Test_Metafile.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr DWORD Failed_To_Start = 0xDEADu;
constexpr DWORD Exit_Failure = 0xFFFFFFFFu; // main's -1

int passes = 0;
int failures = 0;

void Check(bool ok, const char* what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    std::fflush(stdout);
    ++(ok ? passes : failures);
}

std::wstring Folder_Of_Program()
{
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    const std::wstring path(buffer, n);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool Write_File(const std::wstring& path, const Bytes& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}

// Starts the program with exactly this command line and returns its exit code.
DWORD Run(const std::wstring& program, const std::wstring& command_line)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = command_line;
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return Failed_To_Start;
    DWORD code = Failed_To_Start;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

struct Clipboard_Picture
{
    bool present = false;
    LONG mode = 0;
    LONG x = 0;
    LONG y = 0;
    Bytes bits;
};

Clipboard_Picture Read_Clipboard()
{
    Clipboard_Picture picture;
    if (!OpenClipboard(nullptr))
        return picture;
    HANDLE data = GetClipboardData(CF_METAFILEPICT);
    auto* pict = data ? static_cast<METAFILEPICT*>(GlobalLock(data)) : nullptr;
    if (pict) {
        picture.mode = pict->mm;
        picture.x = pict->xExt;
        picture.y = pict->yExt;
        const UINT size = GetMetaFileBitsEx(pict->hMF, 0, nullptr);
        picture.bits.resize(size);
        picture.present =
            size > 0 && GetMetaFileBitsEx(pict->hMF, size, picture.bits.data()) == size;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return picture;
}

bool Holds(const Clipboard_Picture& picture, const Bytes& file, LONG x, LONG y)
{
    return picture.present && picture.mode == 8 && picture.x == x && picture.y == y &&
           picture.bits == Bytes(file.begin() + 22, file.end());
}

} // namespace

int main()
{
    const std::wstring folder = Folder_Of_Program();
    const std::wstring tarvesk = folder + L"tarvesk.exe";
    const std::wstring data = folder + L"wine data\\";
    CreateDirectoryW(data.c_str(), nullptr);

    const Bytes rose = tarvesk::test::Placeable_Metafile(0, 0, 1000, 500);
    const std::wstring rose_path = data + L"rose.wmf";
    Check(Write_File(rose_path, rose), "test file written");
    Check(Run(tarvesk, L"\"" + tarvesk + L"\" " + rose_path) == 0,
          "quoted program name, path with a blank: exit code 0");
    Check(Holds(Read_Clipboard(), rose, 10000, 5000),
          "CF_METAFILEPICT: mode 8, extents 10000 x 5000, bits equal the file's metafile part");

    const Bytes narrow = tarvesk::test::Placeable_Metafile(0, 0, 7, 3);
    const std::wstring narrow_path = data + L"a  b.wmf";
    Check(Write_File(narrow_path, narrow), "test file written");
    Check(Run(tarvesk, L"tarvesk.exe \t " + narrow_path) == 0,
          "plain program name, path with two blanks: exit code 0");
    Check(Holds(Read_Clipboard(), narrow, 10000, 4285), "CF_METAFILEPICT: extents 10000 x 4285");

    // Rejected files: the clipboard keeps the 7 x 3 picture.
    Bytes wrong_key = narrow;
    wrong_key[0] = 0;
    Bytes bad_type = narrow;
    bad_type[22] = 3;
    const std::wstring wrong_key_path = data + L"wrong-key.wmf";
    const std::wstring three_path = data + L"three-bytes.wmf";
    const std::wstring bad_type_path = data + L"metafile-type-3.wmf";
    Check(Write_File(wrong_key_path, wrong_key) &&
              Write_File(three_path, Bytes(rose.begin(), rose.begin() + 3)) &&
              Write_File(bad_type_path, bad_type),
          "test files written");
    Check(Run(tarvesk, L"tarvesk.exe " + wrong_key_path) == Exit_Failure,
          "wrong key: exit code -1");
    Check(Run(tarvesk, L"tarvesk.exe " + three_path) == Exit_Failure,
          "three-byte file: exit code -1");
    Check(Run(tarvesk, L"tarvesk.exe " + data + L"none.wmf") == Exit_Failure,
          "missing file: exit code -1");
    Check(Run(tarvesk, L"tarvesk.exe \"" + rose_path + L"\"") == Exit_Failure,
          "quoted path is not found: exit code -1");
    Check(Run(tarvesk, L"tarvesk.exe " + bad_type_path) == 0, "invalid metafile data: exit code 0");
    Check(Holds(Read_Clipboard(), narrow, 10000, 4285),
          "the rejected files left the clipboard as it was");

    std::printf("%d passed, %d failed\n", passes, failures);
    return failures == 0 ? 0 : 1;
}
