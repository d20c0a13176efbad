#pragma once

#include "programfolder.h"
#include "stepresult.h"

class Baza;

// The steps of Open and Save around zlibtool, other than running it. The
// caller runs the tool between them and decides their order; each step says
// by its result whether the next one may go on.
namespace gamefile {

// How a run of zlibtool went, as far as the steps after it need to know.
struct ToolRun {
    QString toolPath;
    bool endedInTime = true; // false: stopped at the time limit
    int timeLimitMs = 0;
    QByteArray errorOutput; // what it wrote to its standard error
    QString startFailure;   // why it could not start; empty when it did
};

// Keeps a file out of the way while a command may replace it, and puts it
// back unless the command keeps the new one. It waits in `folder`, under its
// own name, which is made when needed.
class SetAside {
public:
    SetAside(QString path, const QString& folder);
    ~SetAside();
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;

    // Whether the path is free for the new file.
    bool ready() const;
    void keepNew() { m_keepNew = true; }

private:
    QString m_path;
    QString m_aside;
    bool m_moved = false;
    bool m_free = false; // for the new file, after the old one moved
    bool m_keepNew = false;
};

// Open: refuses what cannot be a game file before anything reads it.
StepResult checkGameFile(const QString& gameFile);

// Save, before it writes into a game file that has changed on disk: it must
// be a game file still.
StepResult checkStillAGameFile(const QString& gameFile);

// Open: copies the chosen game file to the plain copy.
StepResult copyIn(const QString& gameFile, const WorkingFiles& files);

// Open, after zlibtool decompressed the plain copy: what it wrote must be
// exactly what the plain copy holds, as the codec reads it here.
StepResult checkDecompressed(const WorkingFiles& files, const ToolRun& run);

// Save: writes the record into the decompressed working file, which must
// still be there; a missing one would become a file of zeros around the 44
// values.
StepResult writeLayout(Baza& baza, const WorkingFiles& files);

// Save: a compressed file left from an earlier Save must not stand in for a
// compression that fails.
StepResult removeOldOutput(const WorkingFiles& files);

// Save, after zlibtool compressed the decompressed working file: its output
// must decode to exactly that file.
StepResult checkCompressed(const WorkingFiles& files, const ToolRun& run);

// Save: puts the checked compressed file in place of the game file, whole
// or not at all.
StepResult replaceGameFile(const WorkingFiles& files, const QString& gameFile);

} // namespace gamefile
