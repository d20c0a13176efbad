// zlibtool FILE          compress FILE into FILE.zlib
// zlibtool FILE -d       unpack the container FILE into FILE.unzlib
// zlibtool FILE -draw    inflate the bare zlib stream FILE into FILE.unzlib
//
// The output only ever appears complete: it is written to a temporary file in
// the same folder and put in the target's place in one step. The same on every
// system; what differs is in platform_*.cpp.

#include "container.h"
#include "platform.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zlibtool
{

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
    std::uint8_t* room() const
    {
        return large_ && largeUsed_ < large_->size() ? large_->data() + largeUsed_ : nullptr;
    }
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

void readFile(const std::string& path, std::uint64_t limit, const char* limitText, Contents& contents)
{
    const auto tooLarge = [&](std::uint64_t size) {
        return Failure{path,
                       "file of " + std::to_string(size) + " bytes is above the " + limitText + " limit"};
    };
    try {
        InputFile file(path);
        if (const auto size = file.regularSize()) {
            if (*size > limit)
                throw tooLarge(*size);
            contents.expect(static_cast<std::size_t>(*size));
        }
        // Read to the end rather than trusting the size: pipes and growing files.
        std::uint8_t buffer[1 << 16];
        for (;;) {
            std::uint8_t* target = contents.room();
            const std::size_t n =
                file.read(target ? target : buffer, target ? contents.roomLeft() : sizeof buffer);
            if (n == 0)
                return;
            if (contents.size() + n > limit)
                throw tooLarge(contents.size() + n);
            if (target)
                contents.filled(n);
            else
                contents.append(buffer, n);
        }
    } catch (const SystemError& e) {
        throw Failure{path, "cannot read: " + e.reason};
    }
}

// Writes what `produce` hands to its writer into `path`, which only ever
// holds its old content or the whole new one. When a write fails or
// `produce` throws, nothing is left behind.
void writeFileAtomically(const std::string& path,
                         const std::function<void(const zlibcodec::Sink& write)>& produce)
{
    try {
        ReplacementFile file(path);
        produce([&file](std::span<const std::uint8_t> piece) { file.write(piece); });
        file.commit();
    } catch (const SystemError& e) {
        throw Failure{path, "cannot write: " + e.reason};
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
            // A large buffer again: the bound is large, but only the part
            // that deflate fills is ever touched.
            LargeBuffer packed(zlibcodec::containerBound(input.size()));
            const std::size_t size =
                zlibcodec::compressContainerInto(input.bytes(), {packed.data(), packed.size()});
            writeFileAtomically(output, [&](const zlibcodec::Sink& write) { write({packed.data(), size}); });
            break;
        }
        case Mode::Container:
            // Written piece by piece as it inflates: no buffer of the whole data.
            // A container found broken on the way leaves no output behind.
            writeFileAtomically(output, [&](const zlibcodec::Sink& write) {
                zlibcodec::decompressContainer(input.bytes(), write);
            });
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
    writeText(stderr, "zlibtool: " + line + "\n");
    return EXIT_FAILURE;
}

} // namespace

int runZlibtool(const std::vector<std::string>& args)
{
    if (args.empty())
        return writeText(stdout, kUsage) ? EXIT_SUCCESS : EXIT_FAILURE;
    // The first argument is always the file, even when it starts with a dash.
    const std::string& file = args[0];
    Mode mode = Mode::Compress;
    if (args.size() > 2)
        return fail("too many arguments (usage: zlibtool FILE [-d | -draw])");
    if (args.size() == 2) {
        const std::string_view option = args[1];
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

} // namespace zlibtool
