// zlibtool FILE          compress FILE into FILE.zlib
// zlibtool FILE -d       unpack the container FILE into FILE.unzlib
// zlibtool FILE -draw    inflate the bare zlib stream FILE into FILE.unzlib
//
// The output only ever appears complete: it is written to a temporary file in
// the same folder, synced and renamed over the target. POSIX I/O throughout.

#include "container.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
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

std::vector<std::uint8_t> readFile(const std::string& path, std::uint64_t limit, const char* limitText)
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
    std::vector<std::uint8_t> data;
    if (S_ISREG(st.st_mode)) {
        if (static_cast<std::uint64_t>(st.st_size) > limit)
            throw tooLarge(static_cast<std::uint64_t>(st.st_size));
        data.reserve(static_cast<std::size_t>(st.st_size));
    }
    // Read to the end rather than trusting st_size: pipes and growing files.
    std::uint8_t buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw Failure{path, systemError("cannot read", errno)};
        }
        if (n == 0)
            break;
        if (data.size() + static_cast<std::size_t>(n) > limit)
            throw tooLarge(data.size() + static_cast<std::size_t>(n));
        data.insert(data.end(), buffer, buffer + n);
    }
    return data;
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

void writeAll(int fd, const std::vector<std::uint8_t>& data)
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

void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& data)
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
        writeAll(fd.get(), data);
        if (::fsync(fd.get()) != 0)
            throw WriteError{errno};
        if (fd.close() != 0)
            throw WriteError{errno};
        // POSIX rename replaces the target atomically. (A Windows port would need
        // MoveFileEx with MOVEFILE_REPLACE_EXISTING, as std::filesystem::rename uses.)
        if (std::rename(tmp.c_str(), path.c_str()) != 0)
            throw WriteError{errno};
    } catch (const WriteError& e) {
        ::unlink(tmp.c_str());
        throw Failure{path, systemError("cannot write", e.err)};
    }

    // Make the rename itself durable; losing this only matters on power failure.
    std::filesystem::path dir = std::filesystem::path(path).parent_path();
    Fd dirFd(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0)
        ::fsync(dirFd.get());
}

void run(const std::string& file, Mode mode)
{
    // Containers of 256 MiB are slightly larger than that; nothing valid comes near twice the limit.
    const bool compress = mode == Mode::Compress;
    const std::vector<std::uint8_t> input =
        compress ? readFile(file, zlibcodec::kMaxDeclaredSize, "256 MiB")
                 : readFile(file, 2ull * zlibcodec::kMaxDeclaredSize, "512 MiB");

    std::vector<std::uint8_t> output;
    try {
        switch (mode) {
        case Mode::Compress:
            output = zlibcodec::compressContainer(input);
            break;
        case Mode::Container:
            output = zlibcodec::decompressContainer(input);
            break;
        case Mode::Raw:
            output = zlibcodec::decompressRaw(input);
            break;
        }
    } catch (const zlibcodec::Error& e) {
        throw Failure{file, e.what()};
    }
    writeFileAtomically(file + (compress ? ".zlib" : ".unzlib"), output);
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
