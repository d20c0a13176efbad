// zlibtool FILE          compress FILE into FILE.zlib
// zlibtool FILE -d       unpack the container FILE into FILE.unzlib
// zlibtool FILE -draw    inflate the bare zlib stream FILE into FILE.unzlib
//
// The output only ever appears complete: it is written to a temporary file in
// the same folder and renamed over the target. POSIX I/O throughout.

#include "container.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace
{

constexpr const char* kUsage =
    "usage: zlibtool FILE          compress FILE into FILE.zlib\n"
    "       zlibtool FILE -d       unpack the container FILE into FILE.unzlib\n"
    "       zlibtool FILE -draw    inflate the bare zlib stream FILE into FILE.unzlib\n";

// Every failure ends up as one line: "zlibtool: FILE: WHAT".
struct Failure {
    std::string file;
    std::string what;
};

enum class Mode { Compress, Container, Raw };

// An errno from the write path, turned into a Failure once the temporary is gone.
struct WriteError {
    int err;
};

std::string systemError(const char* action, int err)
{
    return std::string(action) + ": " + std::strerror(err);
}

class Fd
{
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    // Closing can report a late write error, so callers that write check it.
    int close()
    {
        const int r = ::close(fd_);
        fd_ = -1;
        return r;
    }

private:
    int fd_;
};

// Anonymous memory for a whole file, asking for transparent huge pages: in a
// fresh process every 4 KiB page of a large buffer faults in on its own, and
// for inputs of a few MiB that costs more than reading them.
class LargeBuffer
{
public:
    static constexpr std::size_t kHugePage = 2u * 1024 * 1024;

    explicit LargeBuffer(std::size_t size) : size_(size)
    {
        if (size == 0)
            return;
        // Whole huge pages, starting on a huge-page boundary: over-allocate
        // by one so that such a start exists.
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
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;
    ~LargeBuffer()
    {
        if (mapped_ != nullptr)
            ::munmap(mapped_, mappedSize_);
    }
    std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    std::size_t size_ = 0;
    std::size_t mappedSize_ = 0;
    void* mapped_ = nullptr;
    std::uint8_t* data_ = nullptr;
};

// A whole input file in memory.
class Contents
{
public:
    std::span<const std::uint8_t> bytes() const
    {
        if (large_)
            return {large_->data(), largeUsed_};
        return growing_;
    }

    // A regular file's expected size, read straight into one buffer.
    void expect(std::size_t size)
    {
        if (size > 0)
            large_ = std::make_unique<LargeBuffer>(size);
    }
    // Room left in that buffer; null once it is full or there is none.
    std::uint8_t* room() const { return large_ && largeUsed_ < large_->size() ? large_->data() + largeUsed_ : nullptr; }
    std::size_t roomLeft() const { return large_ ? large_->size() - largeUsed_ : 0; }
    void filled(std::size_t n) { largeUsed_ += n; }

    // Anything beyond the expected size: a pipe, or a file that grew.
    void append(const std::uint8_t* data, std::size_t n)
    {
        if (large_) {
            growing_.assign(large_->data(), large_->data() + largeUsed_);
            large_.reset();
        }
        growing_.insert(growing_.end(), data, data + n);
    }
    std::size_t size() const { return bytes().size(); }

private:
    std::unique_ptr<LargeBuffer> large_;
    std::size_t largeUsed_ = 0;
    std::vector<std::uint8_t> growing_;
};

void readAll(const std::string& path, int fd, Contents& contents, std::uint64_t limit,
             const std::function<Failure(std::uint64_t)>& tooLarge)
{
    std::uint8_t buffer[1 << 16];
    for (;;) {
        std::uint8_t* target = contents.room();
        const std::size_t wanted = target ? contents.roomLeft() : sizeof buffer;
        const ssize_t n = ::read(fd, target ? target : buffer, wanted);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw Failure{path, systemError("cannot read", errno)};
        }
        if (n == 0)
            return;
        if (contents.size() + static_cast<std::size_t>(n) > limit)
            throw tooLarge(contents.size() + static_cast<std::size_t>(n));
        if (target)
            contents.filled(static_cast<std::size_t>(n));
        else
            contents.append(buffer, static_cast<std::size_t>(n));
    }
}

void readFile(const std::string& path, std::uint64_t limit, const char* limitText, Contents& contents)
{
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throw Failure{path, systemError("cannot read", errno)};
    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        throw Failure{path, systemError("cannot read", errno)};
    if (S_ISDIR(st.st_mode))
        throw Failure{path, systemError("cannot read", EISDIR)};

    const auto tooLarge = [&](std::uint64_t size) {
        return Failure{path,
                       "file of " + std::to_string(size) + " bytes is above the " + limitText + " limit"};
    };
    if (S_ISREG(st.st_mode)) {
        if (static_cast<std::uint64_t>(st.st_size) > limit)
            throw tooLarge(static_cast<std::uint64_t>(st.st_size));
        contents.expect(static_cast<std::size_t>(st.st_size));
    }
    // Read to the end rather than trusting st_size: pipes and growing files.
    readAll(path, fd.get(), contents, limit, tooLarge);
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

void writeAll(int fd, std::span<const std::uint8_t> data)
{
    const std::uint8_t* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw WriteError{errno};
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

// Writes what `produce` hands to its writer into a temporary file beside
// `path` and renames that over `path` at the end. When a write fails or
// `produce` throws, the temporary file is removed and nothing else changed.
//
// The file is not synced to disk. The outputs are working files: the editor
// reads each one right away and syncs the game file when it replaces it, and
// a sync here would cost more than the decompression itself.
void writeFileAtomically(const std::string& path, const std::function<void(const zlibcodec::Sink& write)>& produce)
{
    std::string tmp;
    int raw = makeTemporary(path + ".XXXXXX", tmp);
    if (raw < 0 && errno == ENAMETOOLONG) {
        // The output name itself may be close to the length limit; fall back to a short name.
        std::filesystem::path dir = std::filesystem::path(path).parent_path();
        if (dir.empty())
            dir = ".";
        raw = makeTemporary((dir / ".zlibtool.XXXXXX").string(), tmp);
    }
    if (raw < 0)
        throw Failure{path, systemError("cannot write", errno)};
    Fd fd(raw);

    try {
        // mkstemp creates 0600; give the output the permissions any new file gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd.get(), 0666 & ~mask) != 0)
            throw WriteError{errno};
        produce([&fd](std::span<const std::uint8_t> piece) { writeAll(fd.get(), piece); });
        if (fd.close() != 0)
            throw WriteError{errno};
        // POSIX rename replaces the target atomically. (A Windows port would need
        // MoveFileEx with MOVEFILE_REPLACE_EXISTING, as std::filesystem::rename uses.)
        if (std::rename(tmp.c_str(), path.c_str()) != 0)
            throw WriteError{errno};
    } catch (const WriteError& e) {
        ::unlink(tmp.c_str());
        throw Failure{path, systemError("cannot write", e.err)};
    } catch (...) {
        ::unlink(tmp.c_str());
        throw;
    }
}

void run(const std::string& file, Mode mode)
{
    // Containers of 256 MiB are slightly larger than that; nothing valid comes near twice the limit.
    const bool compress = mode == Mode::Compress;
    Contents input;
    if (compress)
        readFile(file, zlibcodec::kMaxDeclaredSize, "256 MiB", input);
    else
        readFile(file, 2ull * zlibcodec::kMaxDeclaredSize, "512 MiB", input);
    const std::string output = file + (compress ? ".zlib" : ".unzlib");

    try {
        switch (mode) {
        case Mode::Compress: {
            // Huge pages again: the bound is large, but only the part that
            // deflate fills is ever touched.
            LargeBuffer packed(zlibcodec::containerBound(input.size()));
            const std::size_t size = zlibcodec::compressContainerInto(input.bytes(), {packed.data(), packed.size()});
            writeFileAtomically(output, [&](const zlibcodec::Sink& write) { write({packed.data(), size}); });
            break;
        }
        case Mode::Container:
            // Written piece by piece as it inflates: no buffer of the whole data.
            // A container found broken on the way leaves no output behind.
            writeFileAtomically(output,
                                [&](const zlibcodec::Sink& write) { zlibcodec::decompressContainer(input.bytes(), write); });
            break;
        case Mode::Raw: {
            const std::vector<std::uint8_t> plain = zlibcodec::decompressRaw(input.bytes());
            writeFileAtomically(output, [&](const zlibcodec::Sink& write) { write(plain); });
            break;
        }
        }
    } catch (const zlibcodec::Error& e) {
        throw Failure{file, e.what()};
    }
}

int fail(const std::string& line)
{
    // One write, so the message stays one line even when stderr is shared.
    const std::string text = "zlibtool: " + line + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    return EXIT_FAILURE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc <= 1) {
        std::fputs(kUsage, stdout);
        return std::fflush(stdout) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    // The first argument is always the file, even when it starts with a dash.
    const std::string file = argv[1];
    Mode mode = Mode::Compress;
    if (argc > 3)
        return fail("too many arguments (usage: zlibtool FILE [-d | -draw])");
    if (argc == 3) {
        const std::string_view option = argv[2];
        if (option == "-d")
            mode = Mode::Container;
        else if (option == "-draw")
            mode = Mode::Raw;
        else
            return fail("unknown option '" + std::string(option) + "' (usage: zlibtool FILE [-d | -draw])");
    }
    if (file.empty())
        return fail("the file name is empty");

    try {
        run(file, mode);
    } catch (const Failure& f) {
        return fail(f.file + ": " + f.what);
    } catch (const std::bad_alloc&) {
        return fail(file + ": out of memory");
    } catch (const std::exception& e) {
        return fail(file + ": " + e.what());
    }
    return EXIT_SUCCESS;
}
