// varnel-bench: start-up, memory, Open, Save and zlibtool, each against its
// floor or baseline, as medians over repeated runs, printed as one table;
// then the steps of start-up, the editor's beside the same-size window's and
// beside its own controls made of plain Qt widgets.
//
//   varnel-bench [REPEATS [EARLIER_EDITOR_PROBE]]      (11 repeats by default)
//
// Everything runs on Qt's offscreen platform. Open and Save run in this
// process in a real window with a program folder of its own and the real
// zlibtool; start-up and memory are measured in probe programs started anew
// for every run.

#include "childprocess.h"
#include "editorpanel.h"
#include "fieldtable.h"
#include "frmmain.h"
#include "containerbytes.h"
#include "gamedata.h"
#include "gamefiles.h"
#include "preset.h"
#include "layoutdrawing.h"
#include "mapcanvas.h"
#include "scoreboardmap.h"
#include "pollingrunner.h"
#include "plainwidgets.h"
#include "scn_common_dialog.h"
#include "ucupdownbox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <zlib.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

namespace {

[[noreturn]] void fail(const QString& what)
{
    std::fprintf(stderr, "varnel-bench: %s\n", qPrintable(what));
    std::exit(1);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <typename Work>
double timeMs(Work&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// ---- the folders -----------------------------------------------------------

// A program folder laid out like the editor's, with the real zlibtool.
void makeProgramFolder(const QString& folder)
{
    if (!QDir().mkpath(folder + "/zlib/temp") || !QDir().mkpath(folder + "/doc") ||
        !QFile::copy(QStringLiteral(ZLIBTOOL_PATH), folder + "/zlib/zlibtool") ||
        !writeFile(folder + "/doc/Readmy.txt", "readme"))
        fail("cannot lay out the program folder " + folder);
}

struct GameFile {
    QString label;
    QByteArray plain;
    QString path; // the container the editor opens and saves
};

// ---- start-up and memory ---------------------------------------------------

struct ProbeReport {
    double startupMs = 0;
    double peakMiB = 0;
    std::map<QByteArray, double> phaseMs; // since the probe was started
};

ProbeReport runProbe(const QStringList& argv)
{
    const ChildRun run = runChild(argv);
    if (!run.exitedCleanly)
        fail(argv.join(' ') + " failed");
    ProbeReport report;
    long long idleNs = -1;
    long long hwmKib = -1;
    for (const QByteArray& line : run.output.split('\n')) {
        if (line.startsWith("idle_ns "))
            idleNs = line.mid(8).toLongLong();
        else if (line.startsWith("hwm_kib "))
            hwmKib = line.mid(8).toLongLong();
        else if (const QList<QByteArray> phase = line.split(' '); phase.size() == 3 && phase[0] == "phase_ns")
            report.phaseMs[phase[1]] = static_cast<double>(phase[2].toLongLong() - run.startedNs) / 1e6;
    }
    if (idleNs <= 0 || hwmKib <= 0)
        fail(argv.join(' ') + " gave no report");
    report.startupMs = static_cast<double>(idleNs - run.startedNs) / 1e6;
    report.peakMiB = static_cast<double>(hwmKib) / 1024;
    return report;
}

// ---- Open and Save in the real window -------------------------------------

struct OpenSaveTimes {
    std::vector<double> openMs;
    std::vector<double> saveMs;
};

qint16 read16(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<qint16>(bytes.constData() + offset);
}

void checkShown(frmMain& window, const QByteArray& plain, const QString& label)
{
    for (const layout::FieldInfo& field : layout::kFields) {
        const int raw = read16(plain, field.offset);
        const int shown = field.kind == layout::FieldKind::Vertex ? raw / 16 : raw;
        if (window.panel()->box(field.textField + 1)->Value() != shown)
            fail("Open of " + label + " did not show " + QString::fromLatin1(field.name.data(), field.name.size()));
    }
}

QMessageBox* shownMessage()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

// Opens and saves `game` repeats + 1 times in one window (the first round
// unmeasured), changing the first value before each Save. Open is measured
// from the command to the 44 boxes holding the file's values; Save from the
// command to the game file being replaced. Both commands return only then.
OpenSaveTimes timeOpenAndSave(const QString& programFolder, const GameFile& game, int repeats,
                              const frmMain::ProcessRunner& runner)
{
    QueuedFileDialogBackend dialog;
    ScopedFileDialogBackend answered(dialog);
    frmMain window(programFolder);
    if (runner)
        window.setProcessRunner(runner);
    window.show();
    QCoreApplication::processEvents();
    QAction* open = window.findChild<QAction*>(QStringLiteral("MnuFileOpen"));
    QAction* save = window.findChild<QAction*>(QStringLiteral("cmdZapisz"));

    OpenSaveTimes times;
    for (int round = 0; round <= repeats; ++round) {
        const QByteArray before = gamefiles::unpack(readFile(game.path));
        dialog.enqueue(game.path);
        const double openMs = timeMs([&] { open->trigger(); });
        checkShown(window, before, game.label);
        QCoreApplication::processEvents();

        ucUpDownBox* first = window.panel()->box(1);
        const int value = first->Value() == 24 ? 25 : 24;
        first->setValue(value);
        const double saveMs = timeMs([&] { save->trigger(); });
        if (shownMessage())
            fail("Save of " + game.label + ": " + shownMessage()->text());
        const QByteArray after = gamefiles::unpack(readFile(game.path));
        if (after.size() != game.plain.size() || read16(after, layout::kFields[0].offset) != value)
            fail("Save of " + game.label + " did not replace the game file");
        QCoreApplication::processEvents();

        if (round > 0) {
            times.openMs.push_back(openMs);
            times.saveMs.push_back(saveMs);
        }
    }
    return times;
}

// ---- a nudge on the map ----------------------------------------------------

// Counts paint events of the widget it watches.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override { return paints += event->type() == QEvent::Paint, false; }
};

struct MapTimes {
    std::vector<double> nudgeOne, nudgeAll; // one marker selected; all fourteen
    std::vector<double> labels;             // both views' labels placed for the sample
};

// From a nudge key on the map until the boxes, the record and the map have
// been updated and the map repainted, the sample open and the map shown:
// with Left Shape selected, then with every marker. And placing the labels
// of both views, as the map places them when it paints after a change.
MapTimes timeMap(const QString& programFolder, const GameFile& game, int repeats)
{
    QueuedFileDialogBackend dialog;
    ScopedFileDialogBackend answered(dialog);
    frmMain window(programFolder);
    window.show();
    dialog.enqueue(game.path);
    window.findChild<QAction*>(QStringLiteral("MnuFileOpen"))->trigger();
    window.showMap();
    MapCanvas* canvas = window.map()->canvas();
    PaintCounter counter;
    canvas->installEventFilter(&counter);
    QCoreApplication::processEvents();
    const auto send = [canvas](int key, Qt::KeyboardModifiers modifiers = {}) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(canvas, &press);
    };
    const auto valueX = [&window](int handle) {
        const layout::FieldInfo& x = maphandles::field(handle, maphandles::Axis::X);
        return std::pair(window.panel()->box(x.textField + 1)->Value(), int(window.baza().value(x.index)));
    };
    MapTimes times;
    for (const bool all : {false, true}) {
        all ? send(Qt::Key_A, Qt::ControlModifier) : send(Qt::Key_Tab); // every marker, or Left Shape
        QCoreApplication::processEvents();
        for (int round = 0; round <= repeats; ++round) {
            const int by = round % 2 ? -1 : 1;
            std::array<std::pair<int, int>, maphandles::kFirstCorner> before; // box, record
            for (int h = 0; h < maphandles::kFirstCorner; ++h)
                before[std::size_t(h)] = valueX(h);
            const int paints = counter.paints;
            const double took = timeMs([&] {
                send(by > 0 ? Qt::Key_Right : Qt::Key_Left);
                QCoreApplication::processEvents();
            });
            for (int h = 0; h < (all ? maphandles::kFirstCorner : 1); ++h)
                if (valueX(h) !=
                    std::pair(before[std::size_t(h)].first + by, before[std::size_t(h)].second + by))
                    fail("a nudge on the map did not reach the boxes and the record");
            if (counter.paints == paints)
                fail("a nudge on the map did not repaint it");
            if (round > 0)
                (all ? times.nudgeAll : times.nudgeOne).push_back(took);
        }
    }
    const MapScene& scene = canvas->scene();
    for (int round = 0; round <= repeats; ++round) {
        const double took = timeMs([&] {
            for (const maphandles::View view : maphandles::kViews)
                mapdrawing::placeLabels(scene.positions(), view, scene.view(view).transform,
                                        scene.view(view).rect);
        });
        if (round > 0)
            times.labels.push_back(took);
    }
    return times;
}

// ---- varnel-cli apply on many files ----------------------------------------

struct ApplyTimes {
    double filesPerSecond = 0;
    double perFileMs = 0; // median, from the times the files were replaced
    double floorMs = 0;   // median of the same work for one file, in this process
};

// varnel-cli apply with a preset on `count` copies of the sample in one call,
// in a program folder of its own (its originals are kept there). The floor
// for one file: inflate and deflate at level 9 with zlib, write the original
// copy, then write, sync and rename the new file.
ApplyTimes timeApply(const QString& folder, const GameFile& game, int count)
{
    const QString program = folder + "/program", games = folder + "/games", preset = folder + "/preset.json";
    if (!QDir().mkpath(program) || !QDir().mkpath(games) ||
        !QFile::copy(QStringLiteral(VARNEL_CLI_PATH), program + "/varnel-cli"))
        fail("cannot lay out " + folder);
    const QByteArray container = gamefile::packContainer(game.plain);
    layout::Record values = gamefile::layoutOf({container, game.plain});
    values[0] = static_cast<qint16>(values[0] + 1);
    QStringList arguments{program + "/varnel-cli", QStringLiteral("apply"), preset};
    for (int i = 0; i < count; ++i) {
        arguments << games + QStringLiteral("/game %1.bin").arg(i, 4, 10, QLatin1Char('0'));
        if (!writeFile(arguments.last(), container))
            fail("cannot write " + arguments.last());
    }
    if (!writeFile(preset, gamefile::presetText(values)))
        fail("cannot write " + preset);

    ApplyTimes times;
    const ChildRun run = runChild(arguments);
    if (!run.exitedCleanly)
        fail("varnel-cli apply failed");
    times.filesPerSecond = count / (run.wallMs / 1000);
    // One file after the other: the gaps between the times they were
    // replaced are what each took.
    std::vector<double> replaced, gaps;
    for (const QString& file : arguments.mid(3)) {
        struct stat status {};
        ::stat(QFile::encodeName(file).constData(), &status);
        replaced.push_back(double(status.st_mtim.tv_sec) * 1e3 + double(status.st_mtim.tv_nsec) / 1e6);
    }
    for (std::size_t i = 1; i < replaced.size(); ++i)
        gaps.push_back(replaced[i] - replaced[i - 1]);
    times.perFileMs = median(gaps);

    std::vector<double> floor;
    std::vector<Bytef> plain(static_cast<std::size_t>(game.plain.size())), packed(compressBound(uLong(plain.size())));
    for (int i = 0; i <= 100; ++i) {
        const QByteArray target = QFile::encodeName(folder + QStringLiteral("/floor %1.bin").arg(i));
        writeFile(QString::fromLocal8Bit(target), container);
        floor.push_back(timeMs([&] {
            uLongf plainSize = static_cast<uLongf>(plain.size()), packedSize = static_cast<uLongf>(packed.size());
            uncompress(plain.data(), &plainSize, reinterpret_cast<const Bytef*>(container.constData()) + 16,
                       static_cast<uLong>(container.size() - 16));
            compress2(packed.data(), &packedSize, plain.data(), plainSize, 9);
            writeFile(QString::fromLocal8Bit(target + ".original"), container);
            const int fd = ::open(target + ".new", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || ::write(fd, packed.data(), packedSize) != ssize_t(packedSize) || ::fsync(fd) != 0 ||
                ::close(fd) != 0 || ::rename(target + ".new", target) != 0)
                fail("the floor of varnel-cli apply could not write " + QString::fromLocal8Bit(target));
        }));
    }
    times.floorMs = median(floor);
    return times;
}

// ---- zlibtool against zlib in this process --------------------------------

struct CodecTimes {
    std::vector<double> toolCompressMs, zlibCompressMs, toolDecompressMs, zlibDecompressMs;
};

// The floor: one level-9 compress and one uncompress of the same data in
// memory, with zlib's one-call functions, into a buffer that is reused.
// The tool is timed from its start to its end, as the editor waits for it,
// with its output file removed beforehand, as the editor does.
CodecTimes timeCodec(const QString& folder, const GameFile& game, int repeats)
{
    const QString plainPath = folder + "/plain.bin";
    const QString packedPath = folder + "/packed.bin";
    const QByteArray packed = gamefile::packContainer(game.plain);
    if (!writeFile(plainPath, game.plain) || !writeFile(packedPath, packed))
        fail("cannot write the files for zlibtool into " + folder);
    const QByteArray stream = packed.mid(16);

    std::vector<Bytef> out(compressBound(static_cast<uLong>(game.plain.size())));
    const auto* plainBytes = reinterpret_cast<const Bytef*>(game.plain.constData());
    const auto* streamBytes = reinterpret_cast<const Bytef*>(stream.constData());

    CodecTimes times;
    for (int round = 0; round <= repeats; ++round) {
        // As in the editor, the tool never finds an old output in its way.
        QFile::remove(plainPath + ".zlib");
        QFile::remove(packedPath + ".unzlib");
        const ChildRun compress = runChild({QStringLiteral(ZLIBTOOL_PATH), plainPath});
        if (!compress.exitedCleanly || gamefiles::unpack(readFile(plainPath + ".zlib")) != game.plain)
            fail("zlibtool did not compress " + game.label);
        const ChildRun decompress = runChild({QStringLiteral(ZLIBTOOL_PATH), packedPath, QStringLiteral("-d")});
        if (!decompress.exitedCleanly || readFile(packedPath + ".unzlib") != game.plain)
            fail("zlibtool did not decompress " + game.label);

        uLongf packedSize = static_cast<uLongf>(out.size());
        const double zlibCompress = timeMs([&] {
            if (compress2(out.data(), &packedSize, plainBytes, static_cast<uLong>(game.plain.size()), 9) != Z_OK)
                fail("compress2 failed");
        });
        uLongf plainSize = static_cast<uLongf>(game.plain.size());
        const double zlibDecompress = timeMs([&] {
            if (uncompress(out.data(), &plainSize, streamBytes, static_cast<uLong>(stream.size())) != Z_OK)
                fail("uncompress failed");
        });

        if (round > 0) {
            times.toolCompressMs.push_back(compress.wallMs);
            times.toolDecompressMs.push_back(decompress.wallMs);
            times.zlibCompressMs.push_back(zlibCompress);
            times.zlibDecompressMs.push_back(zlibDecompress);
        }
    }
    return times;
}

// ---- the table -------------------------------------------------------------

struct Row {
    QString what;
    QString measured;
    QString reference;
    QString ratio;
    QString target;
    QString met;
};

QString ms(double value) { return QString::number(value, 'f', value < 10 ? 2 : 1) + " ms"; }
QString mib(double value) { return QString::number(value, 'f', 1) + " MiB"; }
QString factor(double value) { return QString::number(value, 'f', 2) + "×"; }
QString verdict(bool met) { return met ? QStringLiteral("yes") : QStringLiteral("**no**"); }

// Rows with a target at most `limit` times the reference; limit 0: no target.
Row slowerBy(const QString& what, double measured, const QString& reference, double floor, double limit)
{
    const double ratio = measured / floor;
    return {what, ms(measured), ms(floor) + " " + reference, factor(ratio),
            limit > 0 ? "≤ " + factor(limit) : QStringLiteral("-"), limit > 0 ? verdict(ratio <= limit) : "-"};
}

// Rows against the polling baseline, at least `atLeast` times faster.
Row fasterBy(const QString& what, double measured, double baseline, double atLeast)
{
    const double speedup = baseline / measured;
    return {what, ms(measured), ms(baseline) + " polling", factor(speedup) + " faster",
            atLeast > 0 ? "≥ " + QString::number(atLeast) + "× faster" : QStringLiteral("-"),
            atLeast > 0 ? verdict(speedup >= atLeast) : "-"};
}

void printTable(const QList<Row>& rows)
{
    std::printf("| Measurement | Varnel | Reference | Ratio | Target | Met |\n");
    std::printf("|---|---:|---:|---:|---|---|\n");
    for (const Row& row : rows)
        std::printf("| %s | %s | %s | %s | %s | %s |\n", qPrintable(row.what), qPrintable(row.measured),
                    qPrintable(row.reference), qPrintable(row.ratio), qPrintable(row.target), qPrintable(row.met));
}

// The steps of start-up, each from the end of the one before: the phases
// the probes mark, then idle.
const std::vector<std::pair<QByteArray, QString>> kStartupSteps{
    {"main", "Process start until main()"},
    {"application", "QApplication"},
    {"built", "Building the window"},
    {"shown", "show()"},
    {"paint", "From show() to the first paint event"},
    {"idle", "Painting, until the event loop is idle"},
};

std::vector<double> stepDurations(const ProbeReport& report)
{
    std::vector<double> steps;
    double before = 0;
    for (const auto& [phase, label] : kStartupSteps) {
        const double at = phase == "idle" ? report.startupMs : report.phaseMs.at(phase);
        steps.push_back(at - before);
        before = at;
    }
    return steps;
}

// Medians of each step for the editor, the same-size window and the plain
// copy of the editor's controls, and what the editor adds to the window.
void printStartupSteps(const std::vector<std::vector<double>>& editor, const std::vector<std::vector<double>>& text,
                       const std::vector<std::vector<double>>& plain)
{
    std::printf("\n| Start-up step (medians) | Editor | Same-size window with a menu and a label | Editor's own "
                "| Editor's controls, plain Qt widgets |\n");
    std::printf("|---|---:|---:|---:|---:|\n");
    auto stepMedian = [](const std::vector<std::vector<double>>& runs, std::size_t step) {
        std::vector<double> durations;
        for (const auto& run : runs)
            durations.push_back(run[step]);
        return median(durations);
    };
    for (std::size_t step = 0; step < kStartupSteps.size(); ++step) {
        const double own = stepMedian(editor, step) - stepMedian(text, step);
        std::printf("| %s | %s | %s | %s%s | %s |\n", qPrintable(kStartupSteps[step].second),
                    qPrintable(ms(stepMedian(editor, step))), qPrintable(ms(stepMedian(text, step))),
                    own >= 0 ? "+" : "-", qPrintable(ms(std::abs(own))), qPrintable(ms(stepMedian(plain, step))));
    }
}

// How many widgets of each kind a window holds, and how many of them are
// hidden: the plain copy of the editor's controls must hold the same.
QString census(const QMainWindow& window)
{
    const QWidget* root = window.centralWidget();
    auto count = [root](auto kind) {
        using Kind = std::remove_pointer_t<decltype(kind)>;
        const QList<Kind*> found = root->findChildren<Kind*>();
        const auto hidden = std::count_if(found.begin(), found.end(), [](const Kind* w) { return w->isHidden(); });
        return QStringLiteral("%1 (%2 hidden)").arg(found.size()).arg(hidden);
    };
    return QStringLiteral("%1 widgets, %2 text fields, %3 scroll bars, %4 labels")
        .arg(count(static_cast<QWidget*>(nullptr)), count(static_cast<QLineEdit*>(nullptr)),
             count(static_cast<QScrollBar*>(nullptr)), count(static_cast<QLabel*>(nullptr)));
}

QString cpuModel()
{
    for (const QByteArray& line : readFile(QStringLiteral("/proc/cpuinfo")).split('\n'))
        if (line.startsWith("model name"))
            return QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
    return QStringLiteral("unknown CPU");
}

} // namespace

int main(int argc, char* argv[])
{
    // The probes inherit the platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Driving the window must not change what the person's own runs remember.
    QStandardPaths::setTestModeEnabled(true);
    const int repeats = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 11;
    // An earlier build's editor probe, to hold start-up and memory against.
    // (Made absolute now: the editor's window makes its program folder current.)
    const QString baseProbe = argc > 2 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath() : QString();
    if (repeats < 1 || argc > 3)
        fail("usage: varnel-bench [REPEATS [EARLIER_EDITOR_PROBE]]");

    QTemporaryDir work;
    if (!work.isValid())
        fail("cannot make a temporary folder");
    const QString root = work.path();
    const QString programFolder = root + "/program";
    makeProgramFolder(programFolder);

    const QByteArray samplePlain = gamefiles::samplePlain(QStringLiteral(SAMPLE_PATH));
    if (samplePlain.isEmpty())
        fail(QStringLiteral("cannot read the sample ") + QStringLiteral(SAMPLE_PATH));
    const QList<GameFile> games{
        {QStringLiteral("sample"), samplePlain, root + "/games/sample/unnamed_278.bin"},
        {QStringLiteral("4 MiB file"), gamefiles::largePlain(samplePlain), root + "/games/large/unnamed_278.bin"},
    };
    for (const GameFile& game : games)
        if (!QDir().mkpath(QFileInfo(game.path).path()) || !writeFile(game.path, gamefile::packContainer(game.plain)))
            fail("cannot write " + game.path);

    std::printf("Varnel benchmark: %d repeats, medians; Qt %s (%s), zlib %s, %s\n", repeats, qVersion(),
                qPrintable(QGuiApplication::platformName()), zlibVersion(), qPrintable(QSysInfo::prettyProductName()));
    std::printf("Machine: %s, %d cores, kernel %s\n", qPrintable(cpuModel()), QThread::idealThreadCount(),
                qPrintable(QSysInfo::kernelVersion()));
    std::printf("4 MiB file: %lld bytes, %lld in the container\n",
                static_cast<long long>(games[1].plain.size()), static_cast<long long>(QFileInfo(games[1].path).size()));
    std::fflush(stdout);

    QList<Row> rows;
    std::vector<std::vector<double>> editorSteps, textSteps, plainSteps;

    // The editor's window size, for the reference window of the same size.
    // And its controls written down, for the probe that makes them again of
    // plain Qt widgets; the copy is checked here.
    QSize editorSize;
    const QString sketchPath = root + "/editor.sketch";
    {
        frmMain window(programFolder);
        window.show();
        QCoreApplication::processEvents();
        editorSize = window.size();
        const QByteArray sketch = plainwidgets::sketch(window);
        const QString held = census(window);
        QMainWindow plain;
        if (!plainwidgets::build(sketch, plain) || census(plain) != held)
            fail("the plain copy of the editor's controls holds " + census(plain) + ", the editor " + held);
        if (!writeFile(sketchPath, sketch))
            fail("cannot write " + sketchPath);
        std::printf("Editor window: %d × %d pixels, %s\n\n", editorSize.width(), editorSize.height(), qPrintable(held));
    }

    // Start-up and memory, in fresh processes, the two probes taking turns.
    {
        const QString editorProbe = QStringLiteral(EDITOR_PROBE_PATH);
        const QString emptyProbe = QStringLiteral(EMPTY_PROBE_PATH);
        const QStringList textWindowProbe{QStringLiteral(TEXT_WINDOW_PROBE_PATH),
                                          QString::number(editorSize.width()), QString::number(editorSize.height())};
        const QStringList plainProbe{QStringLiteral(PLAIN_WIDGETS_PROBE_PATH), sketchPath};
        std::vector<double> editorStart, emptyStart, textStart, plainStart, editorPeak, largePeak, emptyPeak, textPeak,
            baseStart, basePeak;
        for (int round = 0; round <= repeats; ++round) {
            if (!baseProbe.isEmpty() && round > 0) {
                baseStart.push_back(runProbe({baseProbe}).startupMs);
                basePeak.push_back(runProbe({baseProbe, games[0].path}).peakMiB);
            }
            const ProbeReport editor = runProbe({editorProbe});
            const ProbeReport empty = runProbe({emptyProbe});
            const ProbeReport text = runProbe(textWindowProbe);
            const ProbeReport plain = runProbe(plainProbe);
            const ProbeReport opened = runProbe({editorProbe, games[0].path});
            const ProbeReport openedLarge = runProbe({editorProbe, games[1].path});
            if (round == 0)
                continue;
            editorStart.push_back(editor.startupMs);
            editorSteps.push_back(stepDurations(editor));
            textSteps.push_back(stepDurations(text));
            plainSteps.push_back(stepDurations(plain));
            plainStart.push_back(plain.startupMs);
            emptyStart.push_back(empty.startupMs);
            textStart.push_back(text.startupMs);
            textPeak.push_back(text.peakMiB);
            editorPeak.push_back(opened.peakMiB);
            largePeak.push_back(openedLarge.peakMiB);
            emptyPeak.push_back(empty.peakMiB);
        }
        // The editor's own cost: against a window of its size that already
        // pays for the backing store and for starting the font system.
        rows << slowerBy("Start-up until the window is shown and idle", median(editorStart),
                         "same-size window with a menu and a label", median(textStart), 1.3);
        rows << slowerBy("Start-up of the editor's controls made of plain Qt widgets", median(plainStart),
                         "same-size window with a menu and a label", median(textStart), 0);
        rows << slowerBy("Start-up of a window of the editor's size with a menu and one label", median(textStart),
                         "empty window", median(emptyStart), 0);
        const double floorMiB = median(emptyPeak);
        const double samplePeak = median(editorPeak);
        rows << Row{"Peak resident memory after an Open, sample", mib(samplePeak), mib(floorMiB) + " empty window",
                    "+" + mib(samplePeak - floorMiB), QStringLiteral("≤ +10 MiB"),
                    verdict(samplePeak - floorMiB <= 10)};
        const double textWindowPeak = median(textPeak);
        rows << Row{"Peak resident memory of a window of the editor's size with a menu and one label",
                    mib(textWindowPeak), mib(floorMiB) + " empty window", "+" + mib(textWindowPeak - floorMiB),
                    QStringLiteral("-"), QStringLiteral("-")};
        const double largeFilePeak = median(largePeak);
        rows << Row{"Peak resident memory after an Open, 4 MiB file", mib(largeFilePeak),
                    mib(floorMiB) + " empty window", "+" + mib(largeFilePeak - floorMiB), QStringLiteral("-"),
                    QStringLiteral("-")};
        if (!baseProbe.isEmpty()) {
            rows << slowerBy("Start-up until the window is shown and idle, against the earlier build",
                             median(editorStart), "earlier build", median(baseStart), 1.05);
            const double ratio = samplePeak / median(basePeak);
            rows << Row{"Peak resident memory after an Open, sample, against the earlier build", mib(samplePeak),
                        mib(median(basePeak)) + " earlier build", factor(ratio), "≤ " + factor(1.05),
                        verdict(ratio <= 1.05)};
        }
    }

    // varnel-cli apply on a thousand files of the sample's size.
    {
        const ApplyTimes apply = timeApply(root + "/apply", games[0], 1000);
        rows << Row{QStringLiteral("varnel-cli apply, 1000 files of the sample's size, one call"),
                    QString::number(apply.filesPerSecond, 'f', 0) + " files/s", QStringLiteral("-"),
                    QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
        rows << slowerBy(QStringLiteral("varnel-cli apply, per file (median)"), apply.perFileMs,
                         "in-process floor", apply.floorMs, 1.5);
    }

    // A thumbnail of the sample at 256 px, from the start of the process to
    // the PNG written, against writing a blank PNG of the same size.
    {
        const QString picture = root + "/thumbnail.png";
        const QStringList thumbnail{QStringLiteral(THUMBNAILER_PATH), "-s", "256",
                                    QStringLiteral(SAMPLE_PATH), picture};
        if (!runChild(thumbnail).exitedCleanly)
            fail("the thumbnailer drew no picture of the sample");
        const QImage drawn(picture);
        const QStringList blank{QStringLiteral(BLANK_PNG_PROBE_PATH), QString::number(drawn.width()),
                                QString::number(drawn.height()), root + "/blank.png"};
        std::vector<double> thumbnailMs, blankMs;
        for (int round = 0; round < std::max(repeats, 5); ++round) { // taking turns
            thumbnailMs.push_back(runChild(thumbnail).wallMs);
            blankMs.push_back(runChild(blank).wallMs);
        }
        rows << slowerBy(QStringLiteral("Thumbnail of the sample at 256 px, process start to PNG written"),
                         median(thumbnailMs), "blank PNG of its size", median(blankMs), 1.5);
    }

    // Nudges on the map, and placing its labels.
    {
        const MapTimes map = timeMap(programFolder, games[0], repeats);
        rows << Row{QStringLiteral("Map nudge until the boxes, the record and the map are updated and repainted"),
                    ms(median(map.nudgeOne)), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("≤ 2 ms"),
                    verdict(median(map.nudgeOne) <= 2)};
        rows << Row{QStringLiteral("Map nudge of all fourteen markers selected, the same way"),
                    ms(median(map.nudgeAll)), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("≤ 2 ms"),
                    verdict(median(map.nudgeAll) <= 2)};
        rows << Row{QStringLiteral("Map labels placed for the sample, both views"),
                    QString::number(median(map.labels), 'f', 3) + " ms", QStringLiteral("-"), QStringLiteral("-"),
                    QStringLiteral("≤ 1 ms"), verdict(median(map.labels) <= 1)};
    }

    // Open and Save, with the editor's runner and with the polling baseline.
    for (const GameFile& game : games) {
        const OpenSaveTimes editor = timeOpenAndSave(programFolder, game, repeats, {});
        PollingRunner polling;
        const OpenSaveTimes baseline = timeOpenAndSave(programFolder, game, repeats,
                                                       [&polling](const QStringList& commandLine, int) {
                                                           polling.run(commandLine);
                                                           return ProcessOutcome{};
                                                       });
        const bool sample = &game == &games[0];
        rows << fasterBy("Open, " + game.label, median(editor.openMs), median(baseline.openMs), sample ? 10 : 0);
        rows << fasterBy("Save, " + game.label, median(editor.saveMs), median(baseline.saveMs), sample ? 10 : 0);
    }

    // zlibtool alone against zlib in this process.
    for (const GameFile& game : games) {
        const QString folder = root + "/codec-" + QString::number(&game - games.data());
        QDir().mkpath(folder);
        const CodecTimes codec = timeCodec(folder, game, repeats);
        const bool large = &game == &games[1];
        rows << slowerBy("zlibtool compress (with its self-check), " + game.label, median(codec.toolCompressMs),
                         "zlib in-process", median(codec.zlibCompressMs), large ? 1.35 : 0);
        rows << slowerBy("zlibtool decompress, " + game.label, median(codec.toolDecompressMs), "zlib in-process",
                         median(codec.zlibDecompressMs), 0);
    }

    // What starting and ending the tool costs by itself: zlibtool with no
    // arguments only prints its usage.
    {
        std::vector<double> startAndExit;
        for (int round = 0; round <= repeats; ++round) {
            const ChildRun usage = runChild({QStringLiteral(ZLIBTOOL_PATH)});
            if (!usage.exitedCleanly)
                fail("zlibtool without arguments failed");
            if (round > 0)
                startAndExit.push_back(usage.wallMs);
        }
        rows << Row{QStringLiteral("zlibtool start and exit, no work (usage text)"), ms(median(startAndExit)),
                    QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
    }

    printTable(rows);
    printStartupSteps(editorSteps, textSteps, plainSteps);
    return 0;
}
