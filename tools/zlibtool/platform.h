#pragma once

// What zlibtool asks of the system, written once for each: platform_linux.cpp
// (POSIX I/O, memory from mmap) and platform_win.cpp (UTF-16 names, Win32
// files), chosen by CMake. Each also holds the program's entry point, which
// hands the arguments on to runZlibtool().
//
// File names travel as the messages show them, in UTF-8; on Windows they are
// converted from and to the system's UTF-16 at its edge, losslessly.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zlibtool
{

// Everything after the program's name; returns the exit code.
int runZlibtool(const std::vector<std::string>& args);

// A failed system call, with its reason in the same words on every system
// ("No such file or directory").
struct SystemError {
    std::string reason;
};

// Writes all of `text` to stdout or stderr at once and flushes it; false when that fails.
bool writeText(std::FILE* stream, const std::string& text);

// Zero-filled memory for a whole file, in which only what is touched costs:
// in a fresh process, every page of a large buffer faults in on its own, and
// for inputs of a few MiB that costs more than reading them. Throws
// std::bad_alloc.
class LargeBuffer
{
public:
    explicit LargeBuffer(std::size_t size);
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;
    ~LargeBuffer();
    std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    std::size_t size_ = 0;
    std::size_t mappedSize_ = 0;
    void* mapped_ = nullptr;
    std::uint8_t* data_ = nullptr;
};

// A file open for reading. A folder is refused with "Is a directory".
class InputFile
{
public:
    explicit InputFile(const std::string& path);
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();
    // A regular file's size; none for a pipe or a device.
    std::optional<std::uint64_t> regularSize() const { return regularSize_; }
    // Up to `room` bytes; 0 at the end.
    std::size_t read(std::uint8_t* into, std::size_t room);

private:
    std::intptr_t handle_;
    std::optional<std::uint64_t> regularSize_;
};

// A new file beside `target` that takes the target's place in one step on
// commit(), and is removed if it never does: the target is only ever the old
// file or the whole new one.
//
// Nothing is synced to disk. The outputs are working files: the editor reads
// each one right away and syncs the game file when it replaces it, and a sync
// here would cost more than the decompression itself.
class ReplacementFile
{
public:
    explicit ReplacementFile(const std::string& target);
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile();
    void write(std::span<const std::uint8_t> data);
    void commit();

private:
    void discard(); // closes and removes the temporary file

    std::string target_;
    std::string temporary_;
    std::intptr_t handle_;
    bool committed_ = false;
};

} // namespace zlibtool
