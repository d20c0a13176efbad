#include "container.h"
#include "editorfixture.h"
#include "editorpanel.h"
#include "frmmain.h"
#include "scn_common_dialog.h"
#include "testfiles.h"
#include "ucupdownbox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>


using testfiles::read16;
using testfiles::readFile;
using testfiles::writeFile;

class tst_frmMain : public QObject, EditorFixture {
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
    void titleWithDoubleQuoteIsRefused();
    void toolCommandLinesAndBlockedCommands();
    void readmyOpensTheProgramFoldersReadme();
    void renderWindow();
};

void tst_frmMain::init() { setUpEditor(); }

void tst_frmMain::cleanup() { tearDownEditor(); }

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

    const QByteArray saved = decompressWithTool(game());
    QCOMPARE(saved.size(), m_plainSample.size());
    QByteArray expected = m_plainSample;
    auto put = [&expected](int offset, qint16 value) {
        expected[offset] = char(quint16(value) & 0xFF);
        expected[offset + 1] = char(quint16(value) >> 8);
    };
    put(2096, static_cast<qint16>(read16(m_plainSample, 2096) + 1));
    put(2328, static_cast<qint16>(read16(m_plainSample, 2328) - 16));
    QVERIFY(saved == expected);
    QCOMPARE(readFile(game()).mid(0, 8), QByteArray("\x00\x01\x01WESYS", 8));
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
    QCOMPARE(read16(decompressWithTool(game()), 2098), qint16(-77));
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
    const QByteArray workingBefore = readFile(program() + "/zlib/temp/unnamed_278.bin.unzlib");
    QVERIFY(QDir().mkpath(m_dir.path() + "/other"));
    const QString corrupt = m_dir.path() + "/other/unnamed_278.bin";
    QByteArray broken = m_sample;
    broken[40] = char(broken[40] ^ 0x55);
    QVERIFY(writeFile(corrupt, broken));

    open(corrupt);
    QVERIFY(!shownMessage());
    QCOMPARE(m_window->targetPath(), game());
    QCOMPARE(readFile(program() + "/zlib/temp/unnamed_278.bin.unzlib"), workingBefore);

    m_window->baza().KroX(1234);
    save();
    QVERIFY(!shownMessage());
    QCOMPARE(readFile(corrupt), broken);
    const QByteArray saved = decompressWithTool(game());
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
    QVERIFY(writeFile(second, QByteArray(reinterpret_cast<const char*>(packed.data()), qsizetype(packed.size()))));
    open(second);
    QCOMPARE(m_window->panel()->box(1)->Value(), 99);
    QCOMPARE(m_window->targetPath(), second);
    QCOMPARE(m_window->findChild<QLineEdit*>("Lokalizacja")->text(),
             QDir::toNativeSeparators(program() + "/zlib/temp/second file.bin.unzlib"));
}

void tst_frmMain::titleWithDoubleQuoteIsRefused()
{
    const QString quotedName = games() + "/say \"cheese\".bin";
    QVERIFY(writeFile(quotedName, m_sample));
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
    QVERIFY(replaceTool("for a in \"$@\"; do printf '[%s]' \"$a\" >> \"$here/log\"; done\n"
                        "echo >> \"$here/log\"\n"
                        "sleep 0.5\n"
                        "exec \"$here/real-tool\" \"$@\"\n"));

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
    const QByteArray log = readFile(program() + "/zlib/log");
    QCOMPARE(log, QString("[%1unnamed_278.bin][-d]\n[%1unnamed_278.bin.unzlib]\n")
                      .arg(QDir::toNativeSeparators(temp))
                      .toUtf8());
    QVERIFY(m_window->findChild<QAction*>("MnuFileOpen")->isEnabled());
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
