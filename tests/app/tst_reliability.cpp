// Faults injected around a real editor window and the real zlibtool, and bad
// game files opened through it. Each case records what it tried and what it
// saw in the reliability log, from which the reliability report is written.

#include "editorfixture.h"
#include "editorpanel.h"
#include "filesizelimit.h"
#include "layoutstate.h"
#include "readonly.h"
#include "reliabilitylog.h"
#include "ucupdownbox.h"

#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <zlib.h>

#include <list>
#include <sys/mount.h>

using namespace testfiles;

namespace {

// A container whose stream inflates to `size` zero bytes, declaring `declared`.
QByteArray zeroBomb(quint64 size, quint32 declared)
{
    z_stream z{};
    deflateInit(&z, 1);
    QByteArray zeros(1 << 20, '\0'), packed(8, '\0'), out(1 << 16, '\0');
    for (quint64 done = 0; done < size; done += quint64(zeros.size())) {
        z.next_in = reinterpret_cast<Bytef*>(zeros.data());
        z.avail_in = uInt(zeros.size());
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = uInt(out.size());
            deflate(&z, done + quint64(zeros.size()) >= size ? Z_FINISH : Z_NO_FLUSH);
            packed.append(out.constData(), out.size() - qsizetype(z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    write32(packed, 0, quint32(packed.size() - 8));
    write32(packed, 4, declared);
    return QByteArray("\x00\x01\x01WESYS", 8) + packed;
}

} // namespace

class tst_Reliability : public QObject, EditorFixture {
    Q_OBJECT
    QStringList m_mounts;
    std::list<ReadOnly> m_readOnly;

    QString lokalizacja() const { return m_window->findChild<QLineEdit*>("Lokalizacja")->text(); }
    // Why a case cannot run here, recorded for the report.
    bool cannot(const QString& why)
    {
        if (!why.isEmpty())
            reliabilitylog::record("Skipped", QTest::currentDataTag(), why);
        return !why.isEmpty();
    }
    QString mountSmallDisk(const QString& folder)
    {
        QDir().mkpath(folder);
        if (::mount("tmpfs", QFile::encodeName(folder), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755"))
            return "a size-limited tmpfs cannot be mounted here (needs root with CAP_SYS_ADMIN): " +
                   QString::fromLocal8Bit(std::strerror(errno));
        m_mounts << folder;
        return {};
    }
    // Fills the disk holding folder, then gives back leaveFree bytes.
    static bool fillDisk(const QString& folder, qint64 leaveFree)
    {
        QFile filler(folder + "/filler");
        const QByteArray page(4096, 'f');
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        while (filler.write(page) == page.size() && filler.flush()) {
        }
        filler.close();
        return filler.resize(qMax<qint64>(0, filler.size() - leaveFree));
    }
    // Whether all 44 boxes show what plain holds; bytes beyond its end read as zero.
    bool showsLayout(QByteArray plain) const
    {
        plain.resize(qMax(plain.size(), qsizetype(3322)), '\0');
        for (const layout::FieldInfo& field : layout::kFields) {
            const int raw = read16(plain, field.offset);
            const int shown = field.kind == layout::FieldKind::Vertex ? raw / 16 : raw;
            if (m_window->panel()->box(field.textField + 1)->Value() != shown)
                return false;
        }
        return true;
    }

private slots:
    void init()
    {
        setUpEditor();
        m_window->setToolTimeLimit(500);
    }
    void cleanup()
    {
        tearDownEditor();
        for (const QString& folder : std::as_const(m_mounts))
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
        m_mounts.clear(), m_readOnly.clear();
    }

    // A fault during Open or Save stops it with a message that names the
    // file and the failed step; an Open leaves what was on show as it was.
    // The game file stays byte-identical (or, where Save may go through, is
    // replaced whole), and nothing is left beside it.
    void underFault_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("step"); // the failed step, "" when the command goes through
        QTest::addColumn<QString>("command");
        const QString unpack = "decompressing with zlibtool", pack = "compressing with zlibtool",
                      check = "checking the output", replace = "replacing the game",
                      layout = "writing the layout", copy = "copying the game file",
                      changed = "reading the game file as it is now", claim = "claiming the working files";
        // clang-format off
        struct Row { const char *tag, *fault; QString open, save, restore = "-"; }; // the steps: "" passes, "-" untried
        const QList<Row> rows{
            {"zlibtool missing", "tool missing", unpack, pack}, {"zlibtool exits non-zero", "exit 3", unpack, pack},
            {"zlibtool writes nothing", "exit 0", unpack, pack},
            {"zlibtool hangs; a close waits until it is stopped", "hang", unpack, pack},
            {"zlibtool output cut short", "cut", check, check}, {"zlibtool output is garbage", "garbage", check, check},
            {"zlibtool output is another file's", "other", check, check},
            {"working folder's disk full", "working disk full", copy, pack},
            {"file size limit below the layout", "limit layout", unpack, layout},
            {"working folder missing", "no working folder", claim, "-"},
            {"working folder's disk holds the copy only", "working disk nearly full", unpack, "-"},
            {"working file deleted", "working deleted", "-", ""}, {"game file deleted", "game deleted", "-", changed, ""},
            {"game file replaced by a folder", "game folder", "-", changed, replace},
            {"game file replaced by garbage", "game garbage", "-", changed},
            {"game file changed while zlibtool compresses", "changed meanwhile", "-", replace},
            {"game file read-only", "game read-only", "-", replace, replace},
            {"game file's folder read-only", "folder read-only", "-", replace, replace},
            {"game file's disk full", "game disk full", "-", replace, replace},
            {"file size limit below zlibtool's output", "limit tool", "-", pack},
            {"file size limit below the game file, zlibtool exempt", "limit game", "-", "keeping the original"},
            {"file size limit below the game file, its original kept before", "limit game kept", "-", replace}};
        // clang-format on
        for (const auto& [tag, fault, openStep, saveStep, restoreStep] : rows)
            for (const auto& [command, step] : {std::pair("Open", openStep), std::pair("Save", saveStep),
                                                std::pair("Restore Original", restoreStep)})
                if (step != "-")
                    QTest::addRow("%s: %s", command, tag) << fault << step << QString(command);
    }
    void underFault()
    {
        QFETCH(QString, fault);
        QFETCH(QString, step);
        QFETCH(QString, command);
        const bool opening = command == "Open", restoring = command == "Restore Original";
        const QString target = fault == "game disk full" ? m_dir.path() + "/small disk/unnamed_278.bin" : game();
        if ((fault == "game disk full" && cannot(mountSmallDisk(QFileInfo(target).path()))) ||
            (fault.startsWith("working disk") && cannot(mountSmallDisk(workingFolder()))))
            QSKIP("no small disk here");
        // The layout ends at 3322 bytes; a game file of about 34 KiB lets a
        // file size limit fall between the two.
        const bool big = fault.startsWith("limit") && !opening;
        QByteArray plain = big ? m_plainSample + randomBytes(32768, 5) : m_plainSample;
        QByteArray before = gamefile::packContainer(plain);
        const QByteArray original = before;
        write16(plain, 2096, 4444);
        QVERIFY(writeFile(target, before) && writeFile(program() + "/zlib/other.unzlib", plain) &&
                writeFile(program() + "/zlib/other.zlib", gamefile::packContainer(plain)));
        // An Open that fails leaves another layout on show as it was.
        const QString shownGame = m_dir.path() + "/shown/shown.bin";
        QVERIFY(QDir().mkpath(m_dir.path() + "/shown") && writeFile(shownGame, m_sample));
        open(opening ? shownGame : target);
        const editing::LayoutState shown = editing::captureState(*m_window->panel(), m_window->baza());
        if (restoring) { // with its original kept by a Save, and an unsaved change
            m_window->panel()->box(1)->setValue(556);
            save();
            before = readFile(target);
            m_window->panel()->box(1)->setValue(557);
            whenShown<QMessageBox>([](QMessageBox* question) { question->defaultButton()->click(); },
                                   "restoreOriginal");
        } else if (!opening) {
            if (fault == "limit game kept") { // by a Save before
                m_window->panel()->box(1)->setValue(556);
                save();
                before = readFile(target);
            }
            m_window->panel()->box(1)->setValue(555);
            write16(plain, 2096, 555);
        }
        // Scripts in the tool's place; $out is what the tool is to write.
        const QMap<QString, QByteArray> tools{
            {"exit 3", "printf ' one \\ntwo\\nthree\\nfour\\n' >&2; exit 3"},
            {"exit 0", "exit 0"},
            {"hang", "exec sleep 30"},
            {"cut",
             "\"$here/real-tool\" \"$@\"; head -c -100 \"$out\" > \"$here/c\"; mv \"$here/c\" \"$out\""},
            {"garbage", "head -c 5000 /dev/urandom > \"$out\""},
            {"other", "cp \"$here/other.${out##*.}\" \"$out\""},
            {"limit game", "ulimit -f unlimited; exec \"$here/real-tool\" \"$@\""},
            {"changed meanwhile",
             "[ \"$2\" = -d ] || echo >> '" + target.toUtf8() + "'; exec \"$here/real-tool\" \"$@\""}};
        const QString tool = fault.startsWith("limit game") ? "limit game" : fault;
        if (tools.contains(tool))
            QVERIFY(replaceTool("out=\"$1.zlib\"; [ \"$2\" = -d ] && out=\"$1.unzlib\"\n" + tools[tool] + "\n"));
        const QMap<QString, QString> removed{{"tool missing", program() + "/zlib/zlibtool"},
                                             {"working deleted", workingFile()}, {"game deleted", target},
                                             {"game folder", target}, {"no working folder", workingFolder()}};
        const QString gone = removed.value(fault);
        QVERIFY(gone.isEmpty() || (QFileInfo(gone).isDir() ? QDir(gone).removeRecursively() : QFile::remove(gone)));
        if (fault == "game folder")
            QVERIFY(QDir().mkpath(target));
        else if (fault == "changed meanwhile") // another program's change, to be kept
            before += '\n';
        else if (fault == "game garbage")
            QVERIFY(writeFile(target, before = randomBytes(3000, 7)));
        else if (fault.endsWith("read-only") &&
                 cannot(m_readOnly.emplace_back(fault.startsWith("game") ? target : games()).whyNot))
            QSKIP("cannot make it read-only here");
        else if (fault.contains("disk"))
            QVERIFY(fillDisk(QFileInfo(fault == "game disk full" ? target : workingFile()).path(),
                             fault.endsWith("nearly full") ? 4096 : 0));
        // While zlibtool runs, Open and Save are blocked; a close asked for
        // while it hangs waits for the time limit, then the window closes.
        bool blocked = fault != "hang";
        if (!blocked) {
            QTimer::singleShot(100, m_window.get(), [this, &blocked] {
                blocked = !m_window->findChild<QAction*>("MnuFileOpen")->isEnabled() && !m_window->close();
            });
            answerQuestion(QMessageBox::Discard); // the edit that the failed Save did not keep
        }
        {
            std::optional<FileSizeLimit> limit;
            if (fault.startsWith("limit"))
                limit.emplace(fault == "limit layout" ? 2048 : 8192);
            opening     ? open(target)
            : restoring ? m_window->findChild<QAction*>("restoreOriginalAction")->trigger()
                        : save();
        }
        QVERIFY(blocked && m_window->isVisible() == (fault != "hang"));

        const QString text = shownMessage() ? shownMessage()->text() : QString();
        const QString failed = QRegularExpression("Failed step: ([^\\n]*)").match(text).captured(1);
        const QFileInfo info(target);
        const bool identical = info.isFile() && readFile(target) == before;
        const bool newWhole = info.isFile() && unpacked(target) == plain;
        const bool restored = restoring && info.isFile() && readFile(target) == original;
        QStringList beside = QDir(info.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        beside.removeAll(info.fileName());
        beside.removeAll("filler");
        const QString seen =
            QStringList{text.isEmpty()
                            ? "no message"
                            : "message, failed step \"" + failed.split(m_dir.path()).join("…") + "\"",
                        !opening ? QString()
                        : lokalizacja().endsWith("shown.bin.unzlib") &&
                                shown == editing::captureState(*m_window->panel(), m_window->baza())
                            ? "the layout on show as before"
                            : "the layout on show changed",
                        info.isDir()    ? "game path still a folder"
                        : identical     ? "game file byte-identical"
                        : restored      ? "game file put back as it was"
                        : newWhole      ? "game file replaced whole by the edited layout"
                        : info.exists() ? "game file changed"
                                        : "game file missing",
                        beside.isEmpty() ? "nothing left beside it" : "left beside it: " + beside.join(", ")}
                .filter(QRegularExpression("."))
                .join("; ");
        reliabilitylog::record(command + " under a fault", QTest::currentDataTag(), seen);
        const bool untouched = fault == "game folder"    ? info.isDir()
                               : fault == "game deleted" ? !info.exists()
                                                         : identical;
        const bool told = step.isEmpty()
                              ? text.isEmpty() && (restoring ? restored : newWhole)
                              : failed.startsWith(step) && text.contains(target) && untouched &&
                                    (fault != "hang" || text.contains("did not end within 0.5 s")) &&
                                    (fault != "tool missing" || text.contains("could not be started")) &&
                                    (!opening || !QFile::exists(workingFile())) &&
                                    (fault != "exit 3" || text.endsWith("zlibtool said: one\ntwo\nthree"));
        QVERIFY2(beside.isEmpty() && told && (!opening || seen.contains("as before")), qPrintable(seen));
    }

    // Bad game files, each opened through the window: the Open either fails
    // with a message naming the file, or shows exactly what the file holds.
    // Never a crash or a hang, and the game file stays as it was.
    void badGameFiles()
    {
        QList<std::pair<QString, QList<QByteArray>>> families{
            {"cut short at every length from 0 to the sample's size - 1", {}},
            {"every bit of the 16-byte header flipped, one at a time", {}},
            {"one bit flipped in every byte of the zlib stream", {}},
            {"wrong declared sizes: stream 0, -1, +1, 2^32-1; plain 0, -1, +1, 2^32-1, over the 256 MiB cap", {}},
            {"decompression bombs: 1 GiB of zeros declared honestly, and declared as the layout's size", {}},
            {"valid containers of layouts shorter than 3322 bytes: 0, 1, 2096, 3321 bytes", {}},
            {"not a container: random bytes of 16, 100 and 5000 bytes, the plain layout itself", {}}};
        for (int at = 0; at < m_sample.size(); ++at) {
            families[0].second << m_sample.left(at);
            for (int bit = 0; bit < 8; ++bit) // every bit of the header, one bit of each other byte
                if (at < 16 || bit == at % 8)
                    families[at < 16 ? 1 : 2].second
                        << QByteArray(m_sample).replace(at, 1, QByteArray(1, char(m_sample[at] ^ (1 << bit))));
        }
        const quint32 stream = quint32(m_sample.size() - 16), plain = quint32(m_plainSample.size());
        for (const auto& [offset, value] : QList<std::pair<int, quint32>>{
                 {8, 0}, {8, stream - 1}, {8, stream + 1}, {8, 0xFFFFFFFF}, {12, 0}, {12, plain - 1},
                 {12, plain + 1}, {12, 0xFFFFFFFF}, {12, zlibcodec::kMaxDeclaredSize + 1}}) {
            families[3].second << m_sample;
            write32(families[3].second.last(), offset, value);
        }
        families[4].second << zeroBomb(quint64(1) << 30, 1u << 30) << zeroBomb(quint64(1) << 30, plain);
        for (int length : {0, 1, 2096, 3321})
            families[5].second << gamefile::packContainer(m_plainSample.left(length));
        families[6].second << randomBytes(16, 1) << randomBytes(100, 2) << randomBytes(5000, 3) << m_plainSample;

        int serial = 0;
        for (const auto& [name, inputs] : std::as_const(families)) {
            int refused = 0, shownAsHeld = 0, wrong = 0;
            for (const QByteArray& input : inputs) {
                // A new name for each: the window takes a file as its own only
                // when its Open went through.
                const QString title = QStringLiteral("input %1.bin").arg(++serial), path = games() + "/" + title;
                QVERIFY(writeFile(path, input));
                open(path);
                const std::optional<QByteArray> held = unpack(input); // what the file holds
                const bool loaded = lokalizacja().endsWith(title + ".unzlib");
                const bool told =
                    shownMessage() && shownMessage()->text().startsWith(path + " was not opened");
                delete shownMessage();
                if (told == loaded || readFile(path) != input || loaded != held.has_value())
                    ++wrong;
                else
                    ++(!loaded ? refused : showsLayout(*held) ? shownAsHeld : wrong);
                QFile::remove(path);
                for (const QString& file : QDir(workingFolder()).entryList({title + "*"}))
                    QFile::remove(workingFolder() + "/" + file);
            }
            reliabilitylog::record(
                "Bad game files opened through the window",
                QStringLiteral("%1 (%2 files)").arg(name).arg(inputs.size()),
                QStringLiteral("%1 refused with a message; %2 loaded, showing exactly what they hold; "
                               "%3 otherwise; game file unchanged every time")
                    .arg(refused)
                    .arg(shownAsHeld)
                    .arg(wrong));
            QCOMPARE(wrong, 0);
        }
        QVERIFY(QDir().mkpath(games() + "/a folder.bin"));
        open(games() + "/a folder.bin");
        const bool refused = shownMessage() && shownMessage()->text().contains("it is a folder") &&
                             !lokalizacja().contains("a folder.bin");
        reliabilitylog::record("Bad game files opened through the window", "a folder given as the game file",
                               refused ? "refused with a message; the folder untouched" : "not refused");
        QVERIFY(refused);

        // The tool alone refuses the bombs cleanly within a 64 MiB address
        // space. (A child's resident size cannot be read here: one forked
        // from this test starts out with the test's own.)
#ifdef __SANITIZE_ADDRESS__
        cannot("AddressSanitizer reserves terabytes of address space: no limit can be set");
        return;
#endif
        int bombsRefused = 0;
        for (const QByteArray& bomb : families[4].second) {
            QVERIFY(writeFile(games() + "/bomb.bin", bomb));
            QProcess tool;
            tool.start("/bin/sh", {"-c", "ulimit -v 65536 && exec \"$0\" \"$1\" -d", program() + "/zlib/zlibtool",
                                   games() + "/bomb.bin"});
            bombsRefused += tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit &&
                            tool.exitCode() == 1 && !QFile::exists(games() + "/bomb.bin.unzlib");
        }
        reliabilitylog::record("Bad game files opened through the window",
                               "the bombs, given to zlibtool alone with a 64 MiB address-space limit",
                               QStringLiteral("%1 of 2 refused cleanly (exit code 1, no output)").arg(bombsRefused));
        QCOMPARE(bombsRefused, 2);
    }
};

QTEST_MAIN(tst_Reliability)
#include "tst_reliability.moc"
