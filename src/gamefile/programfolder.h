#pragma once

#include <QString>

namespace gamefile {

// The working files of one game file, all in the working folder: the plain
// copy, what zlibtool decompresses it into, and what it compresses that into.
struct WorkingFiles {
    QString plainCopy;
    QString decompressed; // plainCopy + ".unzlib"
    QString compressed;   // decompressed + ".zlib"

    // Named after the decompressed file, as Save finds it on the window.
    static WorkingFiles ofDecompressed(const QString& decompressed);
};

// The folder that holds the program, always ending with the native
// separator. The tool, the working folder and the readme hang off it, joined
// by plain concatenation. In an installed program folder (one that holds the
// file "installed", put there by the install) and where the program's folder
// cannot be written to, the working folder and the originals are kept in the
// user's data folder instead (~/.local/share/varnel/ on Linux).
class ProgramFolder {
public:
    explicit ProgramFolder(const QString& folder);
    // The running executable's folder.
    static ProgramFolder ofExecutable();

    const QString& path() const { return m_path; }
    QString toolPath() const;      // zlib/zlibtool, with the platform's suffix
    QString workingFolder() const; // zlib/temp/, of the data folder
    QString readmePath() const;    // doc/Readmy.txt
    QString originalsFolder() const; // originals/ of the data folder: game files as they were before their first Save
    // Beside the working folder, so that no working file (named after a game
    // file, which may have any name) can ever be taken for theirs: the locks
    // on the working files of game files on show, and working files an Open
    // has set aside until it ends.
    QString lockFolder() const;  // zlib/locks/, of the data folder
    QString asideFolder() const; // zlib/aside/, of the data folder

    // The working files of a game file with this title (its name without folders).
    WorkingFiles workingFilesFor(const QString& title) const;

private:
    QString m_path;
    QString m_data; // the program folder, or the user's data folder
};

} // namespace gamefile
