#pragma once

#include "programfolder.h"

#include <QLockFile>
#include <QString>

#include <map>
#include <memory>
#include <optional>

namespace gamefile {

// The working files take their names from the game file's title alone, so
// two editors with game files of one name open (every player's file has the
// same name) would write each other's data back over their game files. A
// claim holds a lock for each working file of the layout on show, for as
// long as the layout is on show; a lock left by an editor that ended without
// freeing it is taken over.
class WorkingClaim {
public:
    // The locks live in lockFolder (ProgramFolder::lockFolder()).
    explicit WorkingClaim(QString lockFolder) : m_lockFolder(std::move(lockFolder)) {}

    // Adds the working files of `files` to the claim. Adds nothing when
    // another editor holds one of them, and says so in *problem, or when a
    // lock cannot be made (no working folder, a full disk), leaving *problem
    // as it was.
    bool add(const WorkingFiles& files, QString* problem);

    // Frees every lock but those of `files`; with nothing, every lock.
    void keepOnly(const std::optional<WorkingFiles>& files);

private:
    QString m_lockFolder;
    // By lock name, which is one for all the names of one file: a claim
    // never meets its own lock as another editor's.
    std::map<QString, std::unique_ptr<QLockFile>> m_locks;
};

} // namespace gamefile
