#include "numbertext.h"
#include "scn_common_dialog.h"
#include "scn_process.h"
#include "testfiles.h"

#include <QtTest>
#include <QtWidgets>

const char* const Locales[] = {"system", "comma"};
const QString Cancel = "<cancel>", Example = "unnamed_278.bin (*.bin)|*.bin| All Files (*.*)|*.*";

// Rows write "." for the decimal separator of the locale they name, and "," for the other one.
static QString local(const char* locale, QString row)
{
    QLocale::setDefault(qstrcmp(locale, "comma") ? QLocale::system() : QLocale("de_DE"));
    const QString point = QLocale().decimalPoint();
    return row.replace(u'.', u'\1').replace(u',', point == u"," ? "." : ",").replace(u'\1', point);
}

class tst_platform : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("row");
        // text|number|int16|int32, an empty number as written; a text alone is not numeric
        // clang-format off
        const char* const rows[] = {
            " +7 |7|7|7", "\t-3 |-3|-3|-3", "7E+2|700|700|700", "2.5e-1|0.25|0|0", ".5|0.5|0|0", "1.|1|1|1",
            "0.1||0|0", "12.5||12|12", "13.5||14|14", "-2.5||-2|-2", "-0.5||0|0", "1.5625||2|2",
            "0.49999999999999994||0|0", "32767.4||32767|32767", "32767.5|||32768", "-32768.5||-32768|-32768",
            "-32768.6|||-32769", "1e5|100000||100000", "2147483646.5|||2147483646", "2147483647.5|||",
            "-2147483648.5|||-2147483648", "-2147483649|||", "1e400|inf||", "-1e400|-inf||",
            "0.0001e400|inf||", "1000e-402|0|0|0", "", "   ", "-", ".", "-.", "1-2", "12a", "e5", "1e", "1e+",
            "1 2", "0x10", "1e2.5", "Infinity", "NaN", "1,5", "1,000", "1.2.3", "\u0661\u0662"};
        // clang-format on
        for (const char* locale : Locales)
            for (const char* row : rows)
                QTest::addRow("%s %s", locale, row) << QByteArray(locale) << QString::fromUtf8(row);
    }
    void reading()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QString, row);
        const QStringList cell = row.split(u'|');
        const QString typed = local(locale, cell[0]), int16 = cell.value(2), int32 = cell.value(3);
        const double number = (cell.size() < 2 ? "nan" : cell[1].isEmpty() ? cell[0] : cell[1]).toDouble();
        const auto str = [](auto value) { return value ? QString::number(*value, 'g', 17) : QString(); };
        const std::optional<double> read = numbertext::toDouble(typed);
        QCOMPARE(numbertext::isNumeric(typed), !qIsNaN(number));
        QVERIFY2(qIsNaN(number) ? !read : read == number, qPrintable(str(read)));
        QCOMPARE(str(numbertext::toInt16(typed)), int16);
        QCOMPARE(str(numbertext::toInt32(typed)), int32);
        // Half to even; infinities pass through, so that the range check refuses them.
        if (!int32.isEmpty() || qIsInf(number))
            QCOMPARE(numbertext::roundHalfEven(number), int32.isEmpty() ? number : int32.toDouble());
    }

    // Every sixteenth a 16-bit field holds is written with at most four fraction digits and no
    // trailing zero, and reads back exactly; other numbers in their shortest form, never grouped.
    void writing()
    {
        for (const char* locale : Locales) {
            const QString point = local(locale, ".");
            const QStringList written{numbertext::fromDouble(0.1), numbertext::fromDouble(1e20),
                                      numbertext::fromDouble(-0.0), numbertext::fromInt(-1234567)};
            QCOMPARE(written, QStringList({"0" + point + "1", "100000000000000000000", "0", "-1234567"}));
            for (int raw = -32768; raw <= 32767; ++raw) {
                const QString text = numbertext::fromDouble(raw / 16.0);
                const qsizetype at = text.indexOf(point);
                if ((at < 0 ? raw % 16 != 0 : text.size() - at > 5 || text.endsWith(u'0')) ||
                    numbertext::toDouble(text) != raw / 16.0)
                    QFAIL(qPrintable(QStringLiteral("%1: %2/16 as %3").arg(locale).arg(raw).arg(text)));
            }
        }
    }

    void running_data()
    {
        QTest::addColumn<QStringList>("command"); // %dir: a fresh folder
        QTest::addColumn<bool>("answer");         // false: still running at the limit
        QTest::addColumn<QByteArray>("written");  // into %dir/out, after the program's pid
        QTest::addColumn<QByteArray>("said");     // on its standard error, as far as it is kept
        // The shell's path holds blanks and quotes; it writes to the file named in $0.
        const auto sh = [](const QString& script, const QStringList& args = {}) {
            return QStringList{"%dir/it's \"my\" sh", "-c", "echo $$ > \"$0\"; " + script, "%dir/out"} + args;
        };
        const QString done =
            "sleep 0.3; echo $(readlink /proc/$$/fd/[01]) $(readlink /proc/$$/fd/2 | cut -c1-5) >> \"$0\"";
        const QByteArray stdio = "/dev/null /dev/null pipe:\n", none; // stdin, stdout, stderr
        const QStringList args{"a b", "say \"hi\"", "it's", R"(C:\t\)", "", "-d", " x ", "*", "$HOME", "ü"};
        QTest::newRow("arguments")
            << sh("printf '[%s]\\n' \"$@\" >> \"$0\"; echo 'it: failed' >&2; " + done + "; exit 3", args)
            << true << ("[" + args.join("]\n[") + "]\n").toUtf8() + stdio << QByteArray("it: failed\n");
        QTest::newRow("killed") << sh(done + "; kill -KILL $$") << true << stdio << none;
        QTest::newRow("hung") << sh("echo waiting >&2; for i in $(seq 99); do sleep .3; done; " + done)
                              << false << none << QByteArray("waiting\n");
        // Far more output than a pipe holds, then a read from stdin that must end at once.
        QTest::newRow("plenty") << sh("yes | head -c4M | tee /dev/stderr; cat; " + done) << true << stdio
                                << QByteArray("y\n").repeated(Scn_Process::kErrorOutputLimit / 2);
        for (const char* program : {"/no/such/tool", "varnel-no-such-tool", "/etc/passwd", "/tmp", ""})
            QTest::addRow("%s cannot start: no waiting for the limit", program)
                << QStringList{program, "x"}.mid(*program ? 0 : 2) << true << none << none;
    }
    // The window's events go on during the wait, and no program is left behind.
    void running()
    {
        QFETCH(QStringList, command);
        QFETCH(bool, answer);
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, said);
        QTemporaryDir dir;
        QVERIFY(QFile::link("/bin/sh", dir.filePath("it's \"my\" sh")));
        QTimer timer;
        QSignalSpy ticks(&timer, &QTimer::timeout);
        timer.start(10);
        Scn_Process process;
        process.setTimeLimit(answer ? 20000 : 300);
        QCOMPARE(process.Run_Process(command.replaceInStrings("%dir", dir.path())), answer);
        const QList<QByteArray> lines = testfiles::readFile(dir.filePath("out")).split('\n');
        QCOMPARE(lines.mid(1).join('\n'), written);
        QCOMPARE(process.errorOutput(), said);
        QVERIFY(lines[0].isEmpty() || (!ticks.isEmpty() && !QFile::exists("/proc/" + lines[0])));
    }

    // A dialog opened during the wait holds it past the limit: a program that
    // ended in time still counts as ended in time.
    void limitStopsWhenTheProgramEnds()
    {
        QTimer::singleShot(0, [] {
            QEventLoop dialog;
            QTimer::singleShot(900, &dialog, &QEventLoop::quit);
            dialog.exec();
        });
        Scn_Process process;
        process.setTimeLimit(300);
        QVERIFY(process.Run_Process({"/bin/sh", "-c", "sleep 0.1"}));
    }

    // A program does not outlive an editor that crashes while it runs.
    void endsWithTheEditor()
    {
        QTemporaryDir dir;
        const QString pid = dir.filePath("pid");
        QProcess editor;
        editor.start(QCoreApplication::applicationFilePath(),
                     {"--run", "/bin/sh", "-c", "echo $$ > \"$0\"; exec sleep 60", pid});
        QTRY_VERIFY_WITH_TIMEOUT(testfiles::readFile(pid).endsWith('\n'), 20000);
        editor.kill();
        QVERIFY(editor.waitForFinished());
        // Gone, or ended and not yet reaped: "Z" after the name in its status.
        const QString status = "/proc/" + testfiles::readFile(pid).trimmed() + "/stat";
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(status) || testfiles::readFile(status).contains(") Z "), 20000);
    }

    void openFileName_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("results"); // then "-1" from the empty queue, then TitleName
        const QString game = "/g/unnamed_278.bin", name = game.mid(3), full = "/g/" + QString(252, u'n');
        const auto row = [](const char* tag, QStringList answers, QStringList results, QString title) {
            QTest::newRow(tag) << answers << (results << "-1" << title);
        };
        row("new object", {}, {}, "");
        row("plain path", {game}, {game}, name);
        row("no separator", {name}, {name}, name);
        row("trailing separator", {"/games/"}, {"/games/"}, "");
        row("trailing blank stays", {"/g/a.bin "}, {"/g/a.bin "}, "a.bin ");
        row("leading blanks go, a NUL cuts", {"  /g/a b " + QString(1, QChar(0)) + "x"}, {"/g/a b "}, "a b ");
        row("blanks only", {"   "}, {"-1"}, "");
        row("cancel and empty keep the name", {game, Cancel, ""}, {game, "-1", "-1"}, name);
        row("cancel, then names", {Cancel, "/a/1.bin", "/b/2.bin"}, {"-1", "/a/1.bin", "/b/2.bin"}, "2.bin");
        row("255 fit, 256 do not", {full, full + "n", " " + full}, {full, "-1", "-1"}, full.mid(3));
    }
    void openFileName()
    {
        QFETCH(QStringList, answers);
        QFETCH(QStringList, results);
        QueuedFileDialogBackend queue, other;
        for (const QString& answer : answers)
            answer == Cancel ? queue.enqueueCancel() : queue.enqueue(answer);
        ScopedFileDialogBackend scope(queue);
        ScopedFileDialogBackend{other}; // and gone at once
        QCOMPARE(&Scn_Common_Dialog::backend(), &queue);
        Scn_Common_Dialog dialog;
        QStringList got;
        for (qsizetype i = 0; i <= answers.size(); ++i)
            got << dialog.OpenFileName(nullptr, "Open File", Example);
        QCOMPARE(got << dialog.TitleName(), results);
    }

    void nameFilters()
    {
        const QList<QStringList> rows{{Example, "unnamed_278.bin (*.bin)", " All Files (*.*)"},
                                      {"Binary|*.bin", "Binary (*.bin)"}, // pattern added
                                      {"D (*.a;*.b)|*.a;*.b|E|*.c; *.d", "D (*.a *.b)", "E (*.c *.d)"},
                                      {"D (*.png)|*.bin||*.bin", "D (*.png) (*.bin)", "(*.bin)"},
                                      {"Text (*.txt)  |*.txt", "Text (*.txt)"}, // blanks after the pattern
                                      {"Text|*.txt|All", "Text (*.txt)", "All (*)"}, // no pattern
                                      {"Text|*.txt|", "Text (*.txt)"}};            // trailing bar
        for (const QStringList& row : rows)
            QCOMPARE(Scn_Common_Dialog::nameFilters(row[0]), row.mid(1));
    }

    void realDialog_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("typed"); // null: the user cancels
        QTest::newRow("cancel") << QStringList{} << QString();
        QTest::newRow("existing") << QStringList{"unnamed_278.bin"} << "unnamed_278.bin";
        QTest::newRow("new name") << QStringList{} << "new file.bin";
        QTest::newRow("trailing blank") << QStringList{"a.bin", "a.bin "} << "a.bin ";
        QTest::newRow("double quotes") << QStringList{"my \"best\" board.bin"} << "my \"best\" board.bin";
    }
    // Qt's own dialog, as no test backend is left in place, driven from inside its event loop.
    void realDialog()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, typed);
        QTemporaryDir dir; // with a folder named like the quoted part, which must not draw the dialog in
        for (const QString& file : files)
            QVERIFY(testfiles::writeFile(dir.filePath(file), "x") && QDir(dir.path()).mkpath("best"));
        QString seen;
        QTimer finder;
        connect(&finder, &QTimer::timeout, this, [&] {
            // Once it is active, its name field has the focus, as for a user.
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QFileDialog*>(window); dialog && dialog->isActiveWindow()) {
                    seen = dialog->windowTitle() + "|" + dialog->nameFilters().join("|");
                    if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"); edit && !typed.isNull()) {
                        dialog->setDirectory(dir.path());
                        QTest::keyClicks(edit, typed);
                        QTest::keyClick(edit, Qt::Key_Return);
                    }
                    if (dialog->isVisible())
                        dialog->reject(); // Cancel, or a step that failed: the run must not hang
                }
        });
        finder.start(10);
        Scn_Common_Dialog dlg;
        QCOMPARE(dlg.OpenFileName(nullptr, "Open File", Example),
                 typed.isNull() ? "-1" : dir.filePath(typed));
        QCOMPARE(dlg.TitleName(), typed);
        QCOMPARE(seen, "Open File|unnamed_278.bin (*.bin)|All Files (*.*)");
    }
};

int main(int argc, char* argv[])
{
    // "--run COMMAND...": stands in for the editor, running one program its way.
    if (argc > 2 && qstrcmp(argv[1], "--run") == 0) {
        QCoreApplication app(argc, argv);
        return Scn_Process().Run_Process(app.arguments().mid(2)) ? 0 : 1;
    }
    QApplication app(argc, argv);
    tst_platform test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_platform.moc"
