// The game-file steps on real files, without a window: the paths they work
// on, and replacing a file whole. The window's reliability tests drive every
// step under injected faults.

#include "gamefilesteps.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace testfiles;

class tst_Gamefile : public QObject {
    Q_OBJECT

private slots:
    // A program in the root folder gets exactly one separator; a title
    // without an extension gets data, data.unzlib and data.unzlib.zlib.
    void paths()
    {
        const gamefile::ProgramFolder root(QStringLiteral("/"));
        const gamefile::WorkingFiles files = root.workingFilesFor(QStringLiteral("data"));
        const gamefile::WorkingFiles again = gamefile::WorkingFiles::ofDecompressed(files.decompressed);
        QCOMPARE(QStringList({root.toolPath(), root.workingFolder(), root.readmePath(), files.plainCopy,
                              files.decompressed, files.compressed, again.plainCopy, again.compressed}),
                 QStringList({"/zlib/zlibtool", "/zlib/temp/", "/doc/Readmy.txt", "/zlib/temp/data",
                              "/zlib/temp/data.unzlib", "/zlib/temp/data.unzlib.zlib", "/zlib/temp/data",
                              "/zlib/temp/data.unzlib.zlib"}));
        QCOMPARE(gamefile::ProgramFolder(QStringLiteral("/opt/a b/")).path(), QStringLiteral("/opt/a b/"));
        QCOMPARE(gamefile::ProgramFolder(QStringLiteral("rel")).path(), QDir::current().filePath("rel") + "/");
    }

    // The game file is replaced whole or not at all; a set-aside file comes
    // back unless the new one is kept.
    void replaceAndSetAside()
    {
        QTemporaryDir dir;
        const gamefile::WorkingFiles files{{}, {}, dir.filePath("new.zlib")};
        const QString game = dir.filePath("game.bin");
        QVERIFY(writeFile(files.compressed, "new") && writeFile(game, "old") && QDir().mkpath(game + ".d"));
        const gamefile::StepResult folder = gamefile::replaceGameFile(files, game + ".d");
        QCOMPARE(folder.step() + ": " + folder.reason(), "replacing the game file: " + game + ".d is a folder");
        QVERIFY(gamefile::replaceGameFile(files, game).ok() && readFile(game) == "new");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"game.bin", "new.zlib"}));
        for (bool keep : {false, true}) {
            {
                gamefile::SetAside aside(game);
                QVERIFY(aside.ready() && writeFile(game, "newer"));
                if (keep)
                    aside.keepNew();
            }
            QCOMPARE(readFile(game), QByteArray(keep ? "newer" : "new"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Gamefile)
#include "tst_gamefile.moc"
