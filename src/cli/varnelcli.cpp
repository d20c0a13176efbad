#include "varnelcli.h"

#include "filereplace.h"
#include "gamedata.h"
#include "gamefilesteps.h"
#include "preset.h"
#include "programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace cli {

namespace {

const QString kUsage = QStringLiteral(
    "usage: varnel-cli show [--json] FILE        the 44 values: key and value, one line each, or as a preset\n"
    "       varnel-cli set FILE KEY=VALUE...     set some values and write the file back\n"
    "       varnel-cli apply PRESET FILE...      write a preset's values into every FILE\n"
    "       varnel-cli --help | --version\n"
    "Values are whole numbers from -32768 to 32767 as the game file stores them (corners in sixteenths of a\n"
    "pixel); the keys are those of a preset, such as left_shape.x or home.a.y.\n");

// A game file that is read, changed in memory, and then written back.
struct Job {
    QString path;
    gamefile::GameData data;
};

class Command {
public:
    Command(QTextStream& out, QTextStream& err, bool progress) : m_out(out), m_err(err), m_progress(progress) {}

    int usage(const QString& problem)
    {
        m_err << "varnel-cli: " << problem << "\n" << kUsage;
        return 2;
    }
    int fail(const QString& file, const gamefile::StepResult& result)
    {
        m_err << "varnel-cli: " << QDir::toNativeSeparators(file) << ": " << result.step() << ": " << result.reason()
              << "\n";
        return 1;
    }

    int show(const QString& path, bool json)
    {
        Job job{path, {}};
        if (const gamefile::StepResult read = gamefile::readGameFile(path, &job.data); !read.ok())
            return fail(path, read);
        const layout::Record record = gamefile::layoutOf(job.data);
        if (json) {
            m_out << QString::fromUtf8(gamefile::presetText(record));
            return 0;
        }
        for (const layout::FieldInfo& field : layout::kFields)
            m_out << gamefile::presetKey(field) << ' ' << record[std::size_t(field.index)] << '\n';
        return 0;
    }

    int set(const QString& path, const QStringList& assignments)
    {
        QList<std::pair<const layout::FieldInfo*, qint16>> changes;
        for (const QString& assignment : assignments) {
            const QString key = assignment.section(u'=', 0, 0), value = assignment.section(u'=', 1);
            const layout::FieldInfo* field = layout::fieldByKey(key.toStdString());
            if (!field)
                return fail(path, gamefile::StepResult::failed(QStringLiteral("reading the command line"),
                                                               QStringLiteral("unknown key \"%1\"").arg(key)));
            const std::optional<qint16> number = gamefile::recordValue(value);
            if (!number)
                return fail(path, gamefile::StepResult::failed(
                                      QStringLiteral("reading the command line"),
                                      QStringLiteral("%1 is \"%2\", not a whole number from -32768 to 32767")
                                          .arg(key, value)));
            changes.append({field, *number});
        }
        Job job{path, {}};
        if (const gamefile::StepResult read = gamefile::readGameFile(path, &job.data); !read.ok())
            return fail(path, read);
        layout::Record record = gamefile::layoutOf(job.data);
        for (const auto& [field, value] : changes)
            record[std::size_t(field->index)] = value;
        QList<Job> jobs{job};
        return prepare(jobs, record) ? writeAll(jobs) : 1;
    }

    int apply(const QString& presetPath, const QStringList& paths)
    {
        QString problem;
        const std::optional<layout::Record> record = gamefile::readPreset(presetPath, &problem);
        if (!record) {
            m_err << "varnel-cli: " << problem << "\n";
            return 1;
        }
        QList<Job> jobs;
        for (const QString& path : paths) {
            jobs.append({path, {}});
            if (const gamefile::StepResult read = gamefile::readGameFile(path, &jobs.last().data); !read.ok())
                return fail(path, read);
        }
        return prepare(jobs, *record) ? writeAll(jobs) : 1;
    }

private:
    // Everything that can be checked before a file is written: each must be
    // one that can be replaced, and its new content must encode.
    bool prepare(QList<Job>& jobs, const layout::Record& record)
    {
        for (Job& job : jobs) {
            gamefile::StepResult result = gamefile::putLayout(&job.data, record);
            // The new file takes the old one's place in its folder (the
            // target's, for a link), so that folder must take it too.
            const QString folder = QFileInfo(QFileInfo(job.path).canonicalFilePath()).absolutePath();
            if (!QFileInfo(job.path).isWritable())
                result = gamefile::StepResult::failed(QStringLiteral("checking the game file"),
                                                      QStringLiteral("it is read-only"));
            else if (!QFileInfo(folder).isWritable())
                result = gamefile::StepResult::failed(
                    QStringLiteral("checking the game file"),
                    QStringLiteral("its folder %1 is read-only").arg(QDir::toNativeSeparators(folder)));
            if (!result.ok()) {
                fail(job.path, result);
                return false;
            }
        }
        return true;
    }

    // Replaces the files one by one, each whole; stops at the first that fails.
    int writeAll(const QList<Job>& jobs)
    {
        const QString originals = gamefile::ProgramFolder::ofExecutable().originalsFolder();
        QStringList replaced;
        for (const Job& job : jobs) {
            if (m_progress && jobs.size() > 1)
                m_err << "\rwriting " << replaced.size() + 1 << " of " << jobs.size() << Qt::flush;
            gamefile::StepResult result = gamefile::keepOriginal(job.path, originals);
            QString error;
            if (result.ok() && !gamefile::writeOver(job.data.container, job.path, &error))
                result = gamefile::StepResult::failed(QStringLiteral("replacing the game file"), error);
            if (!result.ok()) {
                if (m_progress && jobs.size() > 1)
                    m_err << "\n";
                fail(job.path, result);
                if (!replaced.isEmpty())
                    m_err << "varnel-cli: replaced before that: " << replaced.join(QStringLiteral(", ")) << "\n";
                return 1;
            }
            replaced << QDir::toNativeSeparators(job.path);
        }
        if (m_progress && jobs.size() > 1)
            m_err << "\n";
        return 0;
    }

    QTextStream& m_out;
    QTextStream& m_err;
    bool m_progress;
};

} // namespace

int run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progressOnErr)
{
    Command command(out, err, progressOnErr);
    const QString verb = arguments.value(0);
    if (verb == u"--help") {
        out << kUsage;
        return 0;
    }
    if (verb == u"--version") {
        out << "varnel-cli " << VARNEL_VERSION << "\n";
        return 0;
    }
    if (verb == u"show") {
        const bool json = arguments.value(1) == u"--json";
        if (arguments.size() != (json ? 3 : 2))
            return command.usage(QStringLiteral("show takes one FILE"));
        return command.show(arguments.last(), json);
    }
    if (verb == u"set") {
        if (arguments.size() < 3)
            return command.usage(QStringLiteral("set takes a FILE and at least one KEY=VALUE"));
        for (const QString& assignment : arguments.mid(2))
            if (!assignment.contains(u'='))
                return command.usage(QStringLiteral("\"%1\" is not KEY=VALUE").arg(assignment));
        return command.set(arguments[1], arguments.mid(2));
    }
    if (verb == u"apply") {
        if (arguments.size() < 3)
            return command.usage(QStringLiteral("apply takes a PRESET and at least one FILE"));
        return command.apply(arguments[1], arguments.mid(2));
    }
    return command.usage(verb.isEmpty() ? QStringLiteral("no command") : QStringLiteral("unknown command \"%1\"").arg(verb));
}

} // namespace cli
