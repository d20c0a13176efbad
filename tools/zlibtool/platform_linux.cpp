// zlibtool on Linux: POSIX I/O, and large buffers from mmap that ask for
// transparent huge pages.

#include "platform.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

namespace zlibtool
{

namespace
{

constexpr std::size_t kHugePage = 2u * 1024 * 1024;

SystemError systemError(int err)
{
    return {std::strerror(err)};
}

int makeTemporary(const std::string& pattern, std::string& name)
{
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    const int fd = ::mkstemp(buf.data());
    if (fd >= 0)
        name = buf.data();
    return fd;
}

} // namespace

bool writeText(std::FILE* stream, const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() && std::fflush(stream) == 0;
}

LargeBuffer::LargeBuffer(std::size_t size) : size_(size)
{
    if (size == 0)
        return;
    // Whole huge pages, starting on a huge-page boundary: over-allocate by one
    // so that such a start exists.
    const std::size_t pages = (size + kHugePage - 1) / kHugePage * kHugePage;
    mappedSize_ = pages + kHugePage;
    mapped_ = ::mmap(nullptr, mappedSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped_ == MAP_FAILED) {
        mapped_ = nullptr;
        throw std::bad_alloc();
    }
    const auto base = reinterpret_cast<std::uintptr_t>(mapped_);
    data_ = reinterpret_cast<std::uint8_t*>((base + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1));
    // Only advice: without it, plain pages. Small buffers are not worth
    // zeroing a whole huge page for.
    if (size >= kHugePage / 2)
        ::madvise(data_, pages, MADV_HUGEPAGE);
}

LargeBuffer::~LargeBuffer()
{
    if (mapped_ != nullptr)
        ::munmap(mapped_, mappedSize_);
}

InputFile::InputFile(const std::string& path) : handle_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
{
    if (handle_ < 0)
        throw systemError(errno);
    struct stat st;
    const int err = ::fstat(static_cast<int>(handle_), &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
    if (err != 0) {
        ::close(static_cast<int>(handle_));
        throw systemError(err);
    }
    if (S_ISREG(st.st_mode))
        regularSize_ = static_cast<std::uint64_t>(st.st_size);
}

InputFile::~InputFile()
{
    ::close(static_cast<int>(handle_));
}

std::size_t InputFile::read(std::uint8_t* into, std::size_t room)
{
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(handle_), into, room);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throw systemError(errno);
    }
}

ReplacementFile::ReplacementFile(const std::string& target) : target_(target)
{
    handle_ = makeTemporary(target + ".XXXXXX", temporary_);
    if (handle_ < 0 && errno == ENAMETOOLONG) {
        // The target's name itself may be close to the length limit; fall back to a short name.
        std::filesystem::path dir = std::filesystem::path(target).parent_path();
        if (dir.empty())
            dir = ".";
        handle_ = makeTemporary((dir / ".zlibtool.XXXXXX").string(), temporary_);
    }
    if (handle_ < 0)
        throw systemError(errno);
    // mkstemp creates 0600; give the output the permissions any new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(static_cast<int>(handle_), 0666 & ~mask) != 0) {
        const int err = errno;
        discard();
        throw systemError(err);
    }
}

ReplacementFile::~ReplacementFile()
{
    if (!committed_)
        discard();
}

void ReplacementFile::discard()
{
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
    handle_ = -1;
    ::unlink(temporary_.c_str());
}

void ReplacementFile::write(std::span<const std::uint8_t> data)
{
    const std::uint8_t* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(static_cast<int>(handle_), p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw systemError(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

void ReplacementFile::commit()
{
    // Closing can report a late write error.
    const int closed = ::close(static_cast<int>(handle_));
    handle_ = -1;
    // rename replaces the target in one step.
    if (closed != 0 || std::rename(temporary_.c_str(), target_.c_str()) != 0)
        throw systemError(errno);
    committed_ = true;
}

} // namespace zlibtool

int main(int argc, char** argv)
{
    return zlibtool::runZlibtool(std::vector<std::string>(argv + 1, argv + argc));
}
