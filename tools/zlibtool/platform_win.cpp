// zlibtool on Windows: file names in UTF-16, so that any name opens, Win32
// files, and the output put in place by MoveFileExW. Reasons are given in the
// words the Linux tool uses, so that both say the same.

#include "platform.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <new>

namespace zlibtool
{

namespace
{

// Names cross the shared code as WTF-8: UTF-8 that also carries the unpaired
// surrogates a Windows name may hold, so every name converts back exactly.
std::string toWtf8(const std::wstring& wide)
{
    constexpr unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
    std::string out;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        const int tail = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        out += static_cast<char>(kLead[tail] | (c >> (6 * tail)));
        for (int k = tail - 1; k >= 0; --k)
            out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    }
    return out;
}

std::wstring fromWtf8(const std::string& text)
{
    std::wstring out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i++]);
        const int tail = lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = tail == 0 ? lead : lead & (0x3Fu >> tail);
        for (int k = 0; k < tail && i < text.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
        if (c >= 0x10000)
            out += {static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)),
                    static_cast<wchar_t>(0xDC00 + (c & 0x3FF))};
        else
            out += static_cast<wchar_t>(c);
    }
    return out;
}

// The name for the system calls. A full path beyond MAX_PATH (a long name in
// a deep folder) works only in the \\?\ form, which the system takes as it is.
std::wstring systemName(const std::string& name)
{
    const std::wstring given = fromWtf8(name);
    const DWORD length = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (length < MAX_PATH - 12)
        return given;
    std::wstring full(length, L'\0');
    full.resize(GetFullPathNameW(given.c_str(), length, full.data(), nullptr));
    if (full.starts_with(LR"(\\?\)"))
        return full;
    return full.starts_with(LR"(\\)") ? LR"(\\?\UNC\)" + full.substr(2) : LR"(\\?\)" + full;
}

bool isFolder(const std::wstring& name)
{
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

SystemError systemError(DWORD error, const std::wstring& name = {})
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return {"No such file or directory"};
    case ERROR_ACCESS_DENIED:
        // What Windows says of a folder opened as a file, or written over.
        return {!name.empty() && isFolder(name) ? "Is a directory" : "Permission denied"};
    case ERROR_WRITE_PROTECT:
        return {"Read-only file system"};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {"No space left on device"};
    case ERROR_FILENAME_EXCED_RANGE:
        return {"File name too long"};
    case ERROR_INVALID_NAME:
        return {"Invalid argument"};
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return {"Cannot allocate memory"};
    }
    // The rest in the system's own words, without its closing full stop.
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason(text, n);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'.' || reason.back() == L'\r' || reason.back() == L'\n'))
        reason.pop_back();
    return {reason.empty() ? "system error " + std::to_string(error) : toWtf8(reason)};
}

HANDLE handleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

bool writeText(std::FILE* stream, const std::string& text)
{
    // A console shows UTF-16; pipes and files get the UTF-8 bytes, as on Linux.
    const HANDLE console = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(console, &mode)) {
        const std::wstring wide = fromWtf8(text);
        return WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    }
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() && std::fflush(stream) == 0;
}

LargeBuffer::LargeBuffer(std::size_t size) : size_(size)
{
    if (size == 0)
        return;
    // Committed memory is zero-filled and gets its pages only when touched.
    mapped_ = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (mapped_ == nullptr)
        throw std::bad_alloc();
    mappedSize_ = size;
    data_ = static_cast<std::uint8_t*>(mapped_);
}

LargeBuffer::~LargeBuffer()
{
    if (mapped_ != nullptr)
        VirtualFree(mapped_, 0, MEM_RELEASE);
}

InputFile::InputFile(const std::string& path)
{
    const std::wstring name = systemName(path);
    const HANDLE file =
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw systemError(GetLastError(), name);
    handle_ = reinterpret_cast<std::intptr_t>(file);
    LARGE_INTEGER size;
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size))
        regularSize_ = static_cast<std::uint64_t>(size.QuadPart);
}

InputFile::~InputFile()
{
    CloseHandle(handleOf(handle_));
}

std::size_t InputFile::read(std::uint8_t* into, std::size_t room)
{
    DWORD n = 0;
    if (ReadFile(handleOf(handle_), into, static_cast<DWORD>(std::min<std::size_t>(room, 1u << 30)), &n,
                 nullptr))
        return n;
    // The far end of a pipe has closed: that is its end.
    if (GetLastError() == ERROR_BROKEN_PIPE)
        return 0;
    throw systemError(GetLastError());
}

ReplacementFile::ReplacementFile(const std::string& target) : target_(target)
{
    // A short name of its own in the target's folder: the target's name may
    // already be as long as a name can be.
    const std::wstring name = systemName(target);
    const std::wstring folder = name.substr(0, name.find_last_of(L"\\/:") + 1);
    for (unsigned attempt = 0;; ++attempt) {
        const std::wstring temporary = folder + L".zlibtool." + std::to_wstring(GetCurrentProcessId()) +
                                       L"." + std::to_wstring(GetTickCount() + attempt) + L".tmp";
        const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<std::intptr_t>(file);
            temporary_ = toWtf8(temporary);
            return;
        }
        if (GetLastError() != ERROR_FILE_EXISTS || attempt == 100)
            throw systemError(GetLastError());
    }
}

ReplacementFile::~ReplacementFile()
{
    if (!committed_)
        discard();
}

void ReplacementFile::discard()
{
    if (handle_ != 0)
        CloseHandle(handleOf(handle_));
    handle_ = 0;
    DeleteFileW(fromWtf8(temporary_).c_str());
}

void ReplacementFile::write(std::span<const std::uint8_t> data)
{
    while (!data.empty()) {
        DWORD n = 0;
        if (!WriteFile(handleOf(handle_), data.data(),
                       static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 30)), &n, nullptr))
            throw systemError(GetLastError());
        data = data.subspan(n);
    }
}

void ReplacementFile::commit()
{
    // Closing can report a late write error.
    const bool closed = CloseHandle(handleOf(handle_));
    handle_ = 0;
    const std::wstring target = systemName(target_);
    if (!closed || !MoveFileExW(fromWtf8(temporary_).c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw systemError(GetLastError(), target);
    committed_ = true;
}

} // namespace zlibtool

int wmain(int argc, wchar_t** argv)
{
    // Messages go out as the same bytes as on Linux: no "\r\n" for "\n".
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(zlibtool::toWtf8(argv[i]));
    return zlibtool::runZlibtool(args);
}
