#include "container.h"
#include "editorpanel.h"
#include "frmmain.h"
#include "scn_common_dialog.h"
#include "ucupdownbox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <signal.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

qint16 read16(const QByteArray& bytes, int offset)
{
    return static_cast<qint16>(static_cast<quint16>(static_cast<quint8>(bytes[offset]) |
                                                    (static_cast<quint8>(bytes[offset + 1]) << 8)));
}

// Decompresses a game file with the real tool, in a folder of its own.
QByteArray decompressWithTool(const QString& gameFile, const QString& scratch)
{
    QDir().mkpath(scratch);
    const QString copy = scratch + "/check.bin";
    QFile::remove(copy);
    QFile::remove(copy + ".unzlib");
    if (!QFile::copy(gameFile, copy))
        return {};
    if (QProcess::execute(ZLIBTOOL_PATH, {copy, "-d"}) != 0)
        return {};
    return readAll(copy + ".unzlib");
}

QMessageBox* shownMessage()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

void closeMessages()
{
    while (QMessageBox* box = shownMessage()) {
        box->close();
        QCoreApplication::processEvents();
    }
}

} // namespace

class tst_frmMain : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowAndMenus();
    void openStepSaveEndToEnd();
    void cancelEmptiesFieldsAndKeepsLayout();
    void missingPathEndsQuietly();
    void corruptFileWithSameTitleKeepsEarlierLayout();
    void secondOpenOfAnotherFile();
    void saveFailures_data();
    void saveFailures();
    void titleWithDoubleQuoteIsRefused();
    void toolCommandLinesAndBlockedCommands();
    void toolFaultsOnSave_data();
    void toolFaultsOnSave();
    void missingWorkingFolderEndsOpenQuietly();
    void gameFileDeletedBeforeSaveIsWrittenWhole();
    void readmyOpensTheProgramFoldersReadme();
    void renderWindow();

private:
    QString program() const { return m_dir.path() + "/prog 'x' folder"; }
    QString games() const { return m_dir.path() + "/my games"; }
    QString game() const { return games() + "/unnamed_278.bin"; }
    void open(const QString& path)
    {
        m_dialog.enqueue(path);
        m_window->findChild<QAction*>("MnuFileOpen")->trigger();
    }
    void save() { m_window->findChild<QAction*>("cmdZapisz")->trigger(); }

    QTemporaryDir m_dir;
    QueuedFileDialogBackend m_dialog;
    std::unique_ptr<ScopedFileDialogBackend> m_scopedDialog;
    std::unique_ptr<frmMain> m_window;
    QByteArray m_sample;
    QByteArray m_plainSample;
};

void tst_frmMain::init()
{
    QVERIFY(m_dir.isValid());
    QDir(m_dir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(program() + "/zlib/temp"));
    QVERIFY(QDir().mkpath(program() + "/doc"));
    QVERIFY(QDir().mkpath(games()));
    QVERIFY(QFile::copy(ZLIBTOOL_PATH, program() + "/zlib/zlibtool"));
    QVERIFY(writeAll(program() + "/doc/Readmy.txt", "readme"));
    m_sample = readAll(SAMPLE_PATH);
    QVERIFY(!m_sample.isEmpty());
    const auto plain = zlibcodec::decompressContainer(
        std::span(reinterpret_cast<const std::uint8_t*>(m_sample.constData()), std::size_t(m_sample.size())));
    m_plainSample = QByteArray(reinterpret_cast<const char*>(plain.data()), qsizetype(plain.size()));
    QVERIFY(writeAll(game(), m_sample));

    m_scopedDialog = std::make_unique<ScopedFileDialogBackend>(m_dialog);
    m_window = std::make_unique<frmMain>(program());
    m_window->show();
}

void tst_frmMain::cleanup()
{
    closeMessages();
    m_window.reset();
    m_scopedDialog.reset();
    while (m_dialog.pendingAnswers() > 0)
        m_dialog.getOpenFileName(nullptr, {}, {});
}

void tst_frmMain::windowAndMenus()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Varnel 6.01.2011 BY Korvath"));
    QCOMPARE(m_window->centralWidget()->size(), QSize(1034, 551));
    const QList<QAction*> bar = m_window->menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar[0]->text(), QStringLiteral("Menu"));
    QCOMPARE(bar[1]->text(), QStringLiteral("Readmy"));
    QCOMPARE(bar[1]->objectName(), QStringLiteral("cmdReadmy"));
    const QList<QAction*> items = bar[0]->menu()->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->objectName(), QStringLiteral("MnuFileOpen"));
    QCOMPARE(items[0]->text(), QStringLiteral("Open File"));
    QVERIFY(items[1]->isSeparator());
    QCOMPARE(items[2]->objectName(), QStringLiteral("cmdZapisz"));
    QCOMPARE(items[2]->text(), QStringLiteral("Save"));
    QVERIFY(!items[2]->isEnabled()); // nothing loaded yet

    auto* location = m_window->findChild<QLineEdit*>("Lokalizacja");
    QVERIFY(location && !location->isVisible() && !location->isEnabled());
    auto* help = m_window->findChild<QLabel*>("Label9");
    QVERIFY(help);
    const QStringList lines = help->text().split("\r\n");
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines[1], QStringLiteral("At the point "));
    QCOMPARE(lines[2], QStringLiteral("A you put the value of point c, "));
    QCOMPARE(lines[6], QString());
    QCOMPARE(lines[10], QStringLiteral("Point D (256,0)"));
    QCOMPARE(help->parentWidget()->objectName(), QStringLiteral("Frame9"));
    QCOMPARE(m_window->findChild<QLabel*>("Picture2")->pixmap().size(), QSize(236, 165));
    QCOMPARE(m_window->findChild<QLabel*>("Picture1")->pixmap().size(), QSize(165, 78));
    for (int size : {16, 32, 48})
        QVERIFY(m_window->windowIcon().availableSizes().contains(QSize(size, size)));
}

void tst_frmMain::openStepSaveEndToEnd()
{
    open(game());
    QCOMPARE(m_dialog.requests().last().title, QStringLiteral("Open File"));
    EditorPanel* panel = m_window->panel();
    // The sample's values, read here from its decompressed bytes.
    for (const layout::FieldInfo& field : layout::kFields) {
        const int raw = read16(m_plainSample, field.offset);
        const int shown = field.kind == layout::FieldKind::Vertex ? raw / 16 : raw;
        QCOMPARE(panel->box(field.textField + 1)->Value(), shown);
    }
    const QString workingFile = program() + "/zlib/temp/unnamed_278.bin.unzlib";
    QCOMPARE(m_window->findChild<QLineEdit*>("Lokalizacja")->text(), QDir::toNativeSeparators(workingFile));
    QVERIFY(m_window->findChild<QAction*>("cmdZapisz")->isEnabled());

    QLineEdit* box1 = panel->box(1)->findChild<QLineEdit*>("txtValue");
    QTest::keyClick(box1, Qt::Key_Up);
    QLineEdit* box17 = panel->box(17)->findChild<QLineEdit*>("txtValue");
    QTest::keyClick(box17, Qt::Key_Down);
    const QFile::Permissions permissions = QFile::permissions(game());
    save();
    QVERIFY(!shownMessage());

    const QByteArray saved = decompressWithTool(game(), m_dir.path() + "/check");
    QCOMPARE(saved.size(), m_plainSample.size());
    QByteArray expected = m_plainSample;
    auto put = [&expected](int offset, qint16 value) {
        expected[offset] = char(quint16(value) & 0xFF);
        expected[offset + 1] = char(quint16(value) >> 8);
    };
    put(2096, static_cast<qint16>(read16(m_plainSample, 2096) + 1));
    put(2328, static_cast<qint16>(read16(m_plainSample, 2328) - 16));
    QVERIFY(saved == expected);
    QCOMPARE(readAll(game()).mid(0, 8), QByteArray("\x00\x01\x01WESYS", 8));
    QCOMPARE(QFile::permissions(game()), permissions);
    // No temporary file left beside the game file.
    QCOMPARE(QDir(games()).entryList(QDir::Files), QStringList{"unnamed_278.bin"});
}

void tst_frmMain::cancelEmptiesFieldsAndKeepsLayout()
{
    open(game());
    m_dialog.enqueueCancel();
    m_window->findChild<QAction*>("MnuFileOpen")->trigger();
    for (int k = 0; k < 44; ++k)
        QVERIFY(m_window->panel()->txt(k)->text().isEmpty());
    QCOMPARE(m_window->panel()->box(1)->Value(), int(read16(m_plainSample, 2096)));
    QCOMPARE(m_window->baza().PozycjaX(), read16(m_plainSample, 2096));
    QCOMPARE(m_window->targetPath(), game());
    // Save still writes the earlier layout over the earlier game file.
    m_window->baza().PozycjaY(-77);
    save();
    QCOMPARE(read16(decompressWithTool(game(), m_dir.path() + "/check"), 2098), qint16(-77));
}

void tst_frmMain::missingPathEndsQuietly()
{
    open(games() + "/typed-but-missing.bin");
    QVERIFY(!shownMessage());
    QVERIFY(!m_window->baza().Loaded());
    QVERIFY(m_window->targetPath().isEmpty());
    QCOMPARE(QDir(program() + "/zlib/temp").entryList(QDir::Files), QStringList());
}

void tst_frmMain::corruptFileWithSameTitleKeepsEarlierLayout()
{
    open(game());
    const QByteArray workingBefore = readAll(program() + "/zlib/temp/unnamed_278.bin.unzlib");
    QVERIFY(QDir().mkpath(m_dir.path() + "/other"));
    const QString corrupt = m_dir.path() + "/other/unnamed_278.bin";
    QByteArray broken = m_sample;
    broken[40] = char(broken[40] ^ 0x55);
    QVERIFY(writeAll(corrupt, broken));

    open(corrupt);
    QVERIFY(!shownMessage());
    QCOMPARE(m_window->targetPath(), game());
    QCOMPARE(readAll(program() + "/zlib/temp/unnamed_278.bin.unzlib"), workingBefore);

    m_window->baza().KroX(1234);
    save();
    QVERIFY(!shownMessage());
    QCOMPARE(readAll(corrupt), broken);
    const QByteArray saved = decompressWithTool(game(), m_dir.path() + "/check");
    QCOMPARE(saved.size(), m_plainSample.size());
    QCOMPARE(read16(saved, 3278), qint16(1234));
    QCOMPARE(saved.mid(0, 2000), m_plainSample.mid(0, 2000));
}

void tst_frmMain::secondOpenOfAnotherFile()
{
    open(game());
    QByteArray plain = m_plainSample;
    plain[2096] = 99;
    plain[2097] = 0;
    const auto packed = zlibcodec::compressContainer(
        std::span(reinterpret_cast<const std::uint8_t*>(plain.constData()), std::size_t(plain.size())));
    const QString second = games() + "/second file.bin";
    QVERIFY(writeAll(second, QByteArray(reinterpret_cast<const char*>(packed.data()), qsizetype(packed.size()))));
    open(second);
    QCOMPARE(m_window->panel()->box(1)->Value(), 99);
    QCOMPARE(m_window->targetPath(), second);
    QCOMPARE(m_window->findChild<QLineEdit*>("Lokalizacja")->text(),
             QDir::toNativeSeparators(program() + "/zlib/temp/second file.bin.unzlib"));
}

void tst_frmMain::saveFailures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("step");
    QTest::newRow("tool missing") << "tool" << "compressing with zlibtool";
    QTest::newRow("working file deleted") << "working" << "writing the layout";
    QTest::newRow("game file replaced by a folder") << "folder" << "replacing the game file";
}

void tst_frmMain::saveFailures()
{
    QFETCH(QString, fault);
    QFETCH(QString, step);
    open(game());
    m_window->baza().PozycjaX(4321);
    const QByteArray before = readAll(game());
    if (fault == "tool")
        QVERIFY(QFile::remove(program() + "/zlib/zlibtool"));
    else if (fault == "working")
        QVERIFY(QFile::remove(program() + "/zlib/temp/unnamed_278.bin.unzlib"));
    else {
        QVERIFY(QFile::remove(game()));
        QVERIFY(QDir().mkpath(game()));
    }
    save();
    QMessageBox* message = shownMessage();
    QVERIFY(message);
    QVERIFY2(message->text().contains(step), qPrintable(message->text()));
    QVERIFY(message->text().contains(QDir::toNativeSeparators(game())));
    if (fault == "folder")
        QVERIFY(QFileInfo(game()).isDir());
    else
        QCOMPARE(readAll(game()), before);
    // Nothing but the game file itself beside it: no temporary file left.
    const QStringList beside = QDir(games()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(beside, fault == "folder" ? QStringList() : QStringList{"unnamed_278.bin"});
}

void tst_frmMain::titleWithDoubleQuoteIsRefused()
{
    const QString quotedName = games() + "/say \"cheese\".bin";
    QVERIFY(writeAll(quotedName, m_sample));
    open(quotedName);
    QMessageBox* message = shownMessage();
    QVERIFY(message);
    QVERIFY(message->text().contains("double quote"));
    QVERIFY(!m_window->baza().Loaded());
    QCOMPARE(QDir(program() + "/zlib/temp").entryList(QDir::Files), QStringList());
}

// A stand-in tool that logs its arguments, takes its time, then lets the
// real tool do the work: the window must wait for it with its commands
// blocked, and a close during the wait must wait too.
void tst_frmMain::toolCommandLinesAndBlockedCommands()
{
    const QString tool = program() + "/zlib/zlibtool";
    QVERIFY(QFile::rename(tool, program() + "/zlib/real-tool"));
    QVERIFY(writeAll(tool, "#!/bin/sh\n"
                           "for a in \"$@\"; do printf '[%s]' \"$a\" >> \"$(dirname \"$0\")/log\"; done\n"
                           "echo >> \"$(dirname \"$0\")/log\"\n"
                           "sleep 0.5\n"
                           "exec \"$(dirname \"$0\")/real-tool\" \"$@\"\n"));
    QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    bool blockedDuringWait = false;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this, [&] {
        if (QFile::exists(program() + "/zlib/log") && !m_window->findChild<QAction*>("MnuFileOpen")->isEnabled()) {
            blockedDuringWait = true;
            m_window->close(); // must not end the command half-way
        }
    });
    probe.start(50);
    open(game());
    probe.stop();
    QVERIFY(blockedDuringWait);
    QVERIFY(m_window->baza().Loaded()); // the Open finished...
    QVERIFY(!m_window->isVisible());    // ...and then the window closed

    m_window->show();
    save();
    QVERIFY(!shownMessage());
    const QString temp = program() + "/zlib/temp/";
    const QByteArray log = readAll(program() + "/zlib/log");
    QCOMPARE(log, QString("[%1unnamed_278.bin][-d]\n[%1unnamed_278.bin.unzlib]\n")
                      .arg(QDir::toNativeSeparators(temp))
                      .toUtf8());
    QVERIFY(m_window->findChild<QAction*>("MnuFileOpen")->isEnabled());
}

void tst_frmMain::toolFaultsOnSave_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<QString>("step");
    const QString tool = "compressing with zlibtool";
    const QString check = "checking the output of zlibtool";
    QTest::newRow("exits non-zero") << QByteArray("exit 3\n") << tool;
    QTest::newRow("writes nothing") << QByteArray("exit 0\n") << tool;
    QTest::newRow("hangs and is killed") << QByteArray("echo $$ > \"$here/pid\"\nexec sleep 30\n") << tool;
    QTest::newRow("truncated output")
        << QByteArray("\"$here/real-tool\" \"$@\"\nhead -c 40 \"$1.zlib\" > \"$here/cut\"\n"
                      "mv \"$here/cut\" \"$1.zlib\"\n")
        << check;
    QTest::newRow("garbage output") << QByteArray("head -c 3000 /dev/urandom > \"$1.zlib\"\n") << check;
    QTest::newRow("another file's output")
        << QByteArray("printf 'other' > \"$here/other\"\n\"$here/real-tool\" \"$here/other\"\n"
                      "mv \"$here/other.zlib\" \"$1.zlib\"\n")
        << check;
}

// A stand-in tool that decompresses with the real one and fails its
// compression in the row's way: the game file must stay as it was.
void tst_frmMain::toolFaultsOnSave()
{
    QFETCH(QByteArray, fault);
    QFETCH(QString, step);
    const QString tool = program() + "/zlib/zlibtool";
    QVERIFY(QFile::rename(tool, program() + "/zlib/real-tool"));
    QVERIFY(writeAll(tool, "#!/bin/sh\nhere=\"$(dirname \"$0\")\"\n"
                           "if [ \"$2\" = \"-d\" ]; then exec \"$here/real-tool\" \"$@\"; fi\n" +
                               fault));
    QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    open(game());
    QVERIFY(m_window->baza().Loaded());
    m_window->panel()->box(1)->setValue(555);
    const QByteArray before = readAll(game());

    QTimer killer;
    connect(&killer, &QTimer::timeout, this, [this] {
        const QByteArray pid = readAll(program() + "/zlib/pid").trimmed();
        if (!pid.isEmpty() && ::kill(pid.toInt(), SIGKILL) == 0)
            QFile::remove(program() + "/zlib/pid");
    });
    killer.start(20);
    save();
    killer.stop();

    QMessageBox* message = shownMessage();
    QVERIFY(message);
    QVERIFY2(message->text().contains(step), qPrintable(message->text()));
    QCOMPARE(readAll(game()), before);
    QCOMPARE(QDir(games()).entryList(QDir::Files | QDir::Hidden), QStringList{"unnamed_278.bin"});
    QVERIFY(m_window->findChild<QAction*>("cmdZapisz")->isEnabled());
}

void tst_frmMain::missingWorkingFolderEndsOpenQuietly()
{
    QVERIFY(QDir(program() + "/zlib/temp").removeRecursively());
    const QByteArray before = readAll(game());
    open(game());
    QVERIFY(!shownMessage());
    QVERIFY(!m_window->baza().Loaded());
    QVERIFY(m_window->targetPath().isEmpty());
    QCOMPARE(readAll(game()), before);
}

void tst_frmMain::gameFileDeletedBeforeSaveIsWrittenWhole()
{
    open(game());
    m_window->baza().KroY(-5);
    QVERIFY(QFile::remove(game()));
    save();
    QVERIFY(!shownMessage());
    const QByteArray saved = decompressWithTool(game(), m_dir.path() + "/check");
    QCOMPARE(saved.size(), m_plainSample.size());
    QCOMPARE(read16(saved, 3280), qint16(-5));
}

void tst_frmMain::readmyOpensTheProgramFoldersReadme()
{
    QStringList opened;
    m_window->setReadmeOpener([&opened](const QString& path) {
        opened << path;
        return true;
    });
    open(game());
    QDir::setCurrent(games()); // where a file dialog may leave it
    m_window->findChild<QAction*>("cmdReadmy")->trigger();
    QCOMPARE(opened, QStringList{QDir::toNativeSeparators(program() + "/doc/Readmy.txt")});
    QVERIFY(QFile::exists(opened.first()));
}

void tst_frmMain::renderWindow()
{
    open(game());
    const QString out = QDir::temp().filePath("varnel-window.png");
    QVERIFY(m_window->grab().save(out));
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
