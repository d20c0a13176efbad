#pragma once

#include "filefingerprint.h"
#include "gamefilesteps.h"
#include "scn_process.h"
#include "workingclaim.h"

#include <functional>

class Baza;
struct GameOnShow;

// The steps of Open and Save that touch files, in their order, with
// zlibtool run between them; what the person is asked and told is the
// window's business.
class GameFileWorkflow
{
public:
    // Runs zlibtool (the program, then its arguments) and returns once it
    // has ended or was stopped at the time limit; Scn_Process by default.
    // The benchmark puts other ways of waiting here.
    using ProcessRunner = std::function<ProcessOutcome(const QStringList& commandLine, int timeLimitMs)>;

    explicit GameFileWorkflow(const QString& programFolder);

    const gamefile::ProgramFolder& folder() const { return m_folder; }
    void setProcessRunner(ProcessRunner runner) { m_runProcess = std::move(runner); }
    void setToolTimeLimit(int milliseconds) { m_toolTimeLimitMs = milliseconds; }

    // Makes `files` a checked decompressed copy of the game file as it is
    // now, and claims them: Open's steps, also Save's when the game file
    // changed on disk or a working file is gone. When a step fails, the
    // working files are as they were. *read: what the game file held.
    gamefile::StepResult fetch(const QString& gameFile, const gamefile::WorkingFiles& files,
                               gamefile::FileFingerprint* read);

    // Writes the record into the game's working file, has zlibtool compress
    // it, keeps the original and replaces the game file. *written: what the
    // game file holds afterwards.
    gamefile::StepResult store(Baza& baza, const GameOnShow& game, gamefile::FileFingerprint* written);

    // Frees the claim on every working file but those of `files`.
    void keepClaimOnly(const std::optional<gamefile::WorkingFiles>& files) { m_claim.keepOnly(files); }

private:
    gamefile::ToolRun runTool(const QStringList& arguments);

    gamefile::ProgramFolder m_folder;
    gamefile::WorkingClaim m_claim; // the working files of the layout on show
    ProcessRunner m_runProcess;
    int m_toolTimeLimitMs = Scn_Process::kDefaultTimeLimitMs;
};
