// A stand-in for the audio player and for Cubase in the Windows shell tests: it writes its working
// folder, the count of its arguments, then each argument, one a line in UTF-8, to the file named by
// ORVASEL_TEST_RECORD, complete or not at all (written aside, then renamed over it).
#include <windows.h>
#include <shellapi.h>

#include <string>

static std::string utf8(const wchar_t* text)
{
    std::string out(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), int(out.size()), nullptr, nullptr);
    out.back() = '\n';  // in place of the terminating zero
    return out;
}

int main()
{
    wchar_t recordPath[MAX_PATH], folder[MAX_PATH];
    if (GetEnvironmentVariableW(L"ORVASEL_TEST_RECORD", recordPath, MAX_PATH) == 0)
        return 2;
    GetCurrentDirectoryW(MAX_PATH, folder);
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string record = utf8(folder) + std::to_string(count - 1) + "\n";
    for (int i = 1; i < count; ++i)
        record += utf8(arguments[i]);
    LocalFree(arguments);

    const std::wstring part = std::wstring(recordPath) + L".part";
    const HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written = 0;
    const bool whole = WriteFile(file, record.data(), DWORD(record.size()), &written, nullptr) && written == record.size();
    CloseHandle(file);
    return whole && MoveFileExW(part.c_str(), recordPath, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
