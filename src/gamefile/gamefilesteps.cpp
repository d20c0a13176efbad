#include "gamefilesteps.h"

#include "baza.h"
#include "container.h"
#include "containerbytes.h"
#include "filekind.h"
#include "filereplace.h"
#include "readablefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace gamefile {

namespace {

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

QByteArray readWhole(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(native(path), file.errorString());
        return {};
    }
    return file.readAll();
}

// Empty when the container file decodes to exactly the plain file, else why
// not. The decoded data is compared piece by piece as it comes, never held
// whole.
QString containerMismatch(const QString& container, const QString& plainFile)
{
    QString error;
    const QByteArray packed = readWhole(container, &error);
    const QByteArray plain = readWhole(plainFile, &error);
    if (!error.isEmpty())
        return error;
    struct Differs {};
    std::size_t compared = 0;
    const auto compare = [&](std::span<const std::uint8_t> piece) {
        if (piece.size() > static_cast<std::size_t>(plain.size()) - compared ||
            std::memcmp(piece.data(), plain.constData() + compared, piece.size()) != 0)
            throw Differs{};
        compared += piece.size();
    };
    try {
        zlibcodec::decompressContainer(bytesOf(packed), compare);
        if (compared == static_cast<std::size_t>(plain.size()))
            return {};
    } catch (const Differs&) {
    } catch (const zlibcodec::Error& failure) {
        return QStringLiteral("%1: %2").arg(native(container), QString::fromStdString(failure.what()));
    }
    return QStringLiteral("%1 does not hold what %2 holds").arg(native(container), native(plainFile));
}

// The reason, and what the tool said of it: its first three lines, if any.
StepResult toolFailed(const QString& step, const QString& reason, const ToolRun& run)
{
    QStringList said = QString::fromLocal8Bit(run.errorOutput).trimmed().split(u'\n', Qt::SkipEmptyParts);
    for (QString& line : said)
        line = line.trimmed();
    if (said.isEmpty())
        return StepResult::failed(step, reason);
    return StepResult::failed(step,
                              reason + QStringLiteral("\nzlibtool said: ") + said.mid(0, 3).join(u'\n'));
}

// A tool that was stopped, or wrote nothing, fails the step that ran it.
StepResult toolOutputThere(const QString& step, const QString& output, const ToolRun& run)
{
    if (!run.startFailure.isEmpty())
        return StepResult::failed(
            step, QStringLiteral("%1 could not be started: %2").arg(native(run.toolPath), run.startFailure));
    if (!run.endedInTime)
        return toolFailed(step,
                          QStringLiteral("%1 did not end within %2 seconds and was stopped")
                              .arg(native(run.toolPath))
                              .arg(run.timeLimitMs / 1000.0),
                          run);
    if (!QFileInfo(output).isFile())
        return toolFailed(step, QStringLiteral("%1 produced no %2").arg(native(run.toolPath), native(output)),
                          run);
    return StepResult::done();
}

} // namespace

SetAside::SetAside(QString path, const QString& folder)
    : m_path(std::move(path)), m_aside(QDir(folder).filePath(QFileInfo(m_path).fileName()))
{
    if (QFile::exists(m_path)) {
        QFile::remove(m_aside);
        m_moved = QDir().mkpath(folder) && QFile::rename(m_path, m_aside);
    }
    m_free = !QFile::exists(m_path);
}

SetAside::~SetAside()
{
    if (m_keepNew) {
        QFile::remove(m_aside);
        return;
    }
    // Whatever a failed command left there goes, even where nothing was
    // before: a later step must not take it for good output.
    if (m_free)
        QFile::remove(m_path);
    if (m_moved)
        QFile::rename(m_aside, m_path);
}

bool SetAside::ready() const { return m_free; }

StepResult checkGameFile(const QString& gameFile)
{
    const QString step = QStringLiteral("checking the game file");
    if (const QString why = whyNotReadable(gameFile, kMaxGameFileSize); !why.isEmpty())
        return StepResult::failed(step, why);
    // The desktop offers presets to Varnel too; one opened as a game file
    // would only get zlibtool's word that it is not a container.
    if (kindOf(gameFile) == FileKind::Preset)
        return StepResult::failed(step,
                                  QStringLiteral("it is a preset, not a game file: open a game file, then "
                                                 "import the preset into it (Layout, Import Preset...)"));
    return StepResult::done();
}

StepResult checkStillAGameFile(const QString& gameFile)
{
    const QString step = QStringLiteral("reading the game file as it is now");
    QByteArray container;
    if (StepResult read = readWholeFile(gameFile, kMaxGameFileSize, step, &container); !read.ok())
        return read;
    try {
        // Only whether it decodes: the data itself is not kept.
        zlibcodec::decompressContainer(bytesOf(container), [](std::span<const std::uint8_t>) {});
    } catch (const zlibcodec::Error& failure) {
        return StepResult::failed(step,
                                  QStringLiteral("it is no longer a game file: %1").arg(failure.what()));
    }
    return StepResult::done();
}

StepResult copyIn(const QString& gameFile, const WorkingFiles& files)
{
    QString error;
    if (!copyOver(gameFile, files.plainCopy, &error))
        return StepResult::failed(QStringLiteral("copying the game file into the working folder"), error);
    return StepResult::done();
}

StepResult checkDecompressed(const WorkingFiles& files, const ToolRun& run)
{
    const QString step = QStringLiteral("decompressing with zlibtool");
    if (StepResult there = toolOutputThere(step, files.decompressed, run); !there.ok())
        return there;
    // Whatever is shown goes back over the game file at Save, so a tool that
    // wrote something other than the file's content (cut short, garbage)
    // fails here as a failed tool would.
    if (const QString mismatch = containerMismatch(files.plainCopy, files.decompressed); !mismatch.isEmpty())
        return toolFailed(QStringLiteral("checking the output of zlibtool"), mismatch, run);
    return StepResult::done();
}

StepResult writeLayout(Baza& baza, const WorkingFiles& files)
{
    const QString step = QStringLiteral("writing the layout");
    if (!QFileInfo(files.decompressed).isFile())
        return StepResult::failed(step,
                                  QStringLiteral("the working file %1 is missing").arg(native(files.decompressed)));
    try {
        baza.Zapisz(files.decompressed);
    } catch (const LayoutWriteError& error) {
        return StepResult::failed(step + QStringLiteral(" into ") + error.file(), error.reason());
    }
    return StepResult::done();
}

StepResult removeOldOutput(const WorkingFiles& files)
{
    if (QFile::exists(files.compressed) && !QFile::remove(files.compressed))
        return StepResult::failed(QStringLiteral("removing the old compressed file"),
                                  QStringLiteral("%1 cannot be removed").arg(native(files.compressed)));
    return StepResult::done();
}

StepResult checkCompressed(const WorkingFiles& files, const ToolRun& run)
{
    if (StepResult there = toolOutputThere(QStringLiteral("compressing with zlibtool"), files.compressed, run);
        !there.ok())
        return there;
    // The game file is the person's only copy: put nothing over it that does
    // not decode to exactly the layout just written.
    if (const QString mismatch = containerMismatch(files.compressed, files.decompressed); !mismatch.isEmpty())
        return toolFailed(QStringLiteral("checking the output of zlibtool"), mismatch, run);
    return StepResult::done();
}

StepResult replaceGameFile(const WorkingFiles& files, const QString& gameFile)
{
    QString error;
    if (!copyOver(files.compressed, gameFile, &error))
        return StepResult::failed(QStringLiteral("replacing the game file"), error);
    return StepResult::done();
}

} // namespace gamefile
