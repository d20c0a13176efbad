#include "varnelcli.h"

#include "filereplace.h"
#include "gamedata.h"
#include "originals.h"
#include "preset.h"
#include "programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace cli {

namespace {

const QString kUsage = QStringLiteral(
    "usage: varnel-cli show [--json] FILE        the 44 values: key and value, one line each, or as a "
    "preset\n"
    "       varnel-cli set FILE KEY=VALUE...     set some values and write the file back\n"
    "       varnel-cli apply PRESET FILE...      write a preset's values into every FILE\n"
    "       varnel-cli restore FILE...           put every FILE back as it was before it was first written\n"
    "       varnel-cli -h | --help | --version\n"
    "Values are whole numbers from -32768 to 32767 as the game file stores them (corners in sixteenths of a\n"
    "pixel); the keys are those of a preset, such as left_shape.x or home.a.y, each given once. \"--\" ends\n"
    "the options, so that a FILE may start with \"-\".\n");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// What a set command changes: each field and its new value.
using Changes = QList<std::pair<const layout::FieldInfo*, qint16>>;

// A command's words after its name: options (before any "--") and operands.
struct Words {
    QStringList options;
    QStringList operands;

    explicit Words(const QStringList& arguments)
    {
        bool optionsEnded = false;
        for (const QString& word : arguments) {
            if (!optionsEnded && word == u"--")
                optionsEnded = true;
            else if (!optionsEnded && word.size() > 1 && word.startsWith(u'-'))
                options << word;
            else
                operands << word;
        }
    }
};

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
        m_err << "varnel-cli: " << native(file) << ": " << result.step() << ": " << result.reason() << "\n";
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

    int set(const QString& path, const Changes& changes)
    {
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

    // Every file must have an original, and every original must be a game
    // file, before the first one is put back.
    int restore(const QStringList& paths)
    {
        const QString originals = gamefile::ProgramFolder::ofExecutable().originalsFolder();
        QList<Job> jobs;
        for (const QString& path : paths) {
            const QString original = gamefile::originalFor(path, originals);
            if (!gamefile::keptAt(original))
                return fail(path, gamefile::StepResult::failed(
                                      QStringLiteral("finding its original"),
                                      QStringLiteral("none is kept in %1").arg(native(originals))));
            jobs.append({path, {}});
            if (const gamefile::StepResult read =
                    gamefile::readOriginal(original, &jobs.last().data.container);
                !read.ok())
                return fail(path, read);
        }
        for (const Job& job : jobs)
            if (const gamefile::StepResult replaceable = checkReplaceable(job.path); !replaceable.ok())
                return fail(job.path, replaceable);
        return writeAll(jobs);
    }

private:
    // Everything that can be checked before a file is written: each must be
    // one that can be replaced, and its new content must encode.
    bool prepare(QList<Job>& jobs, const layout::Record& record)
    {
        for (Job& job : jobs) {
            gamefile::StepResult result = gamefile::putLayout(&job.data, record);
            if (result.ok())
                result = checkReplaceable(job.path);
            if (!result.ok()) {
                fail(job.path, result);
                return false;
            }
        }
        return true;
    }

    // The new file takes the old one's place in its folder (the target's, for
    // a link), so that folder must take it too. A file that is gone (only
    // restore gets that far with one) is simply made anew there.
    static gamefile::StepResult checkReplaceable(const QString& path)
    {
        const QFileInfo file(path);
        const QString target = file.exists() ? file.canonicalFilePath() : file.absoluteFilePath();
        const QString folder = QFileInfo(target).absolutePath();
        const QString step = QStringLiteral("checking the game file");
        if (file.exists() && !file.isWritable())
            return gamefile::StepResult::failed(step, QStringLiteral("it is read-only"));
        if (!QFileInfo(folder).isWritable())
            return gamefile::StepResult::failed(
                step, QStringLiteral("its folder %1 is read-only").arg(native(folder)));
        return gamefile::StepResult::done();
    }

    // Replaces the files one by one, each whole; stops at the first that fails.
    int writeAll(const QList<Job>& jobs)
    {
        const QString originals = gamefile::ProgramFolder::ofExecutable().originalsFolder();
        QStringList replaced;
        for (const Job& job : jobs) {
            if (m_progress && jobs.size() > 1)
                m_err << "\rwriting " << replaced.size() + 1 << " of " << jobs.size() << Qt::flush;
            gamefile::StepResult result =
                gamefile::keepOriginal(job.path, gamefile::originalFor(job.path, originals));
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
            replaced << native(job.path);
        }
        if (m_progress && jobs.size() > 1)
            m_err << "\n";
        return 0;
    }

    QTextStream& m_out;
    QTextStream& m_err;
    bool m_progress;
};

// The changes of a set command, each key once; on a usage problem, nothing
// and the problem in *problem.
std::optional<Changes> changesOf(const QStringList& assignments, QString* problem)
{
    Changes changes;
    for (const QString& assignment : assignments) {
        if (!assignment.contains(u'=')) {
            *problem = QStringLiteral("\"%1\" is not KEY=VALUE").arg(assignment);
            return std::nullopt;
        }
        const QString key = assignment.section(u'=', 0, 0), value = assignment.section(u'=', 1);
        const layout::FieldInfo* field = layout::fieldByKey(key.toStdString());
        const std::optional<qint16> number = gamefile::recordValue(value);
        if (!field)
            *problem = QStringLiteral("unknown key \"%1\"").arg(key);
        else if (std::any_of(changes.begin(), changes.end(),
                             [field](const auto& change) { return change.first == field; }))
            *problem = QStringLiteral("\"%1\" is given twice").arg(key);
        else if (!number)
            *problem =
                QStringLiteral("%1 is \"%2\", not a whole number from -32768 to 32767").arg(key, value);
        else
            changes.append({field, *number});
        if (!problem->isEmpty())
            return std::nullopt;
    }
    return changes;
}

} // namespace

int run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progressOnErr)
{
    Command command(out, err, progressOnErr);
    const QString verb = arguments.value(0);
    if (verb == u"--help" || verb == u"-h") {
        out << kUsage;
        return 0;
    }
    if (verb == u"--version") {
        out << "varnel-cli " << VARNEL_VERSION << "\n";
        return 0;
    }
    const Words words(arguments.mid(1));
    const QStringList& operands = words.operands;
    const bool json = words.options == QStringList{QStringLiteral("--json")} && verb == u"show";
    if (!words.options.isEmpty() && !json)
        return command.usage(QStringLiteral("unknown option \"%1\"").arg(words.options.first()));
    // The files named: all operands but a set's assignments.
    if ((verb == u"set" ? operands.mid(0, 1) : operands).contains(QString()))
        return command.usage(QStringLiteral("a file name is empty"));
    if (verb == u"show") {
        if (operands.size() != 1)
            return command.usage(QStringLiteral("show takes one FILE"));
        return command.show(operands[0], json);
    }
    if (verb == u"set") {
        if (operands.size() < 2)
            return command.usage(QStringLiteral("set takes a FILE and at least one KEY=VALUE"));
        QString problem;
        const auto changes = changesOf(operands.mid(1), &problem);
        return changes ? command.set(operands[0], *changes) : command.usage(problem);
    }
    if (verb == u"apply") {
        if (operands.size() < 2)
            return command.usage(QStringLiteral("apply takes a PRESET and at least one FILE"));
        return command.apply(operands[0], operands.mid(1));
    }
    if (verb == u"restore") {
        if (operands.isEmpty())
            return command.usage(QStringLiteral("restore takes at least one FILE"));
        return command.restore(operands);
    }
    return command.usage(verb.isEmpty() ? QStringLiteral("no command") : QStringLiteral("unknown command \"%1\"").arg(verb));
}

} // namespace cli
