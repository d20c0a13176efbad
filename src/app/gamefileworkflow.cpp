#include "gamefileworkflow.h"

#include "gameonshow.h"
#include "originals.h"

#include <QDir>
#include <QFileInfo>

GameFileWorkflow::GameFileWorkflow(const QString& programFolder)
    : m_folder(programFolder), m_claim(m_folder.lockFolder()), m_runProcess(&Scn_Process::run)
{
}

gamefile::ToolRun GameFileWorkflow::runTool(const QStringList& arguments)
{
    const QString tool = m_folder.toolPath();
    ProcessOutcome outcome = m_runProcess(QStringList{tool} + arguments, m_toolTimeLimitMs);
    return {tool, outcome.endedInTime, m_toolTimeLimitMs, std::move(outcome.errorOutput),
            std::move(outcome.startFailure)};
}

gamefile::StepResult GameFileWorkflow::fetch(const QString& gameFile, const gamefile::WorkingFiles& files,
                                             gamefile::FileFingerprint* read)
{
    if (gamefile::StepResult checked = gamefile::checkGameFile(gameFile); !checked.ok())
        return checked;
    // The working files are named after the game file's name: another editor
    // with a game file of this name open has them, and must keep them.
    QString problem;
    if (!m_claim.add(files, &problem))
        return gamefile::StepResult::failed(
            QStringLiteral("claiming the working files"),
            problem.isEmpty() ? QStringLiteral("no lock can be made beside the working folder %1")
                                    .arg(QDir::toNativeSeparators(m_folder.workingFolder()))
                              : problem);
    // An old decompressed file must never be taken for the new one. Both it
    // and an old plain copy come back if a step fails: either may be a
    // working file of the layout on show (a game file named after the open
    // one plus ".unzlib").
    gamefile::SetAside oldCopy(files.plainCopy, m_folder.asideFolder());
    gamefile::SetAside old(files.decompressed, m_folder.asideFolder());
    if (!oldCopy.ready() || !old.ready())
        return gamefile::StepResult::failed(QStringLiteral("setting the old working files aside"),
                                            QStringLiteral("%1 cannot be moved to %2")
                                                .arg(QDir::toNativeSeparators(files.plainCopy),
                                                     QDir::toNativeSeparators(m_folder.asideFolder())));
    // What was read is what the plain copy holds, whatever the game file
    // holds by now; its time, taken before, is older than any change since.
    const QDateTime modified = QFileInfo(gameFile).lastModified();
    gamefile::StepResult result = gamefile::copyIn(gameFile, files);
    if (const auto copied = gamefile::FileFingerprint::of(files.plainCopy); result.ok() && copied) {
        *read = *copied;
        read->setModified(modified);
    }
    if (result.ok())
        result = gamefile::checkDecompressed(files, runTool({files.plainCopy, QStringLiteral("-d")}));
    if (result.ok()) {
        oldCopy.keepNew();
        old.keepNew();
    }
    return result;
}

gamefile::StepResult GameFileWorkflow::store(Baza& baza, const GameOnShow& game,
                                             gamefile::FileFingerprint* written)
{
    const gamefile::WorkingFiles& files = game.files;
    gamefile::StepResult result = gamefile::writeLayout(baza, files);
    if (result.ok())
        result = gamefile::removeOldOutput(files);
    if (result.ok())
        result = gamefile::checkCompressed(files, runTool({files.decompressed}));
    // The tool takes its time; a change made meanwhile is not written over
    // unseen either. The next Save asks about it.
    if (result.ok() && !game.onDisk.matches(game.gameFile))
        result = gamefile::StepResult::failed(
            QStringLiteral("replacing the game file"),
            QStringLiteral("it changed on disk while zlibtool ran, so nothing was written"));
    if (result.ok())
        result = gamefile::keepOriginal(game.gameFile, game.original);
    // What the game file will hold is what the checked compressed file holds.
    if (const auto compressed = gamefile::FileFingerprint::of(files.compressed); result.ok() && compressed)
        *written = *compressed;
    if (result.ok())
        result = gamefile::replaceGameFile(files, game.gameFile);
    written->setModified(QFileInfo(game.gameFile).lastModified());
    return result;
}
