#include "scn_common_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace {

// Stands for the user pressing Cancel in the tables below.
const QString Cancel = QStringLiteral("<cancel>");

const QString ExampleFilter = QStringLiteral("unnamed_278.bin (*.bin)|*.bin| All Files (*.*)|*.*");

QString pathOfLength(qsizetype length)
{
    // "/games/" followed by a file name that fills the rest.
    const QString folder = QStringLiteral("/games/");
    return folder + QString(length - folder.size(), u'n');
}

// Ends the test run if a dialog is never found or never closes, instead of
// hanging until the test driver gives up.
class HangGuard {
public:
    HangGuard()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [] { qFatal("the file dialog never closed"); });
        m_timer.start(60000);
    }

private:
    QTimer m_timer;
};

// Waits, from inside the dialog's own event loop, for the visible file dialog
// and hands it over.
class DialogFinder : public QObject {
public:
    explicit DialogFinder(std::function<void(QFileDialog*)> act) : m_act(std::move(act))
    {
        connect(&m_timer, &QTimer::timeout, this, &DialogFinder::look);
        m_timer.start(10);
    }

private:
    void look()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            if (dialog && dialog->isVisible()) {
                m_timer.stop();
                m_act(dialog);
                return;
            }
        }
    }

    QTimer m_timer;
    std::function<void(QFileDialog*)> m_act;
};

} // namespace

class TestScnCommonDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openFileName_data();
    void openFileName();
    void newObjectHasNoName();
    void titleName_data();
    void titleName();

    void filterPairs_data();
    void filterPairs();
    void nameFilters_data();
    void nameFilters();
    void backendIsAskedWithOwnerTitleAndFilters();
    void queuedBackendAnswersInOrderThenCancels();
    void scopedBackendRestoresThePreviousOne();

    void defaultBackendIsQtFileDialog();
    void realDialogCancelled_data();
    void realDialogCancelled();
    void realDialogTypedName_data();
    void realDialogTypedName();

private:
    std::unique_ptr<QueuedFileDialogBackend> m_backend;
};

void TestScnCommonDialog::init()
{
    m_backend = std::make_unique<QueuedFileDialogBackend>();
    Scn_Common_Dialog::setBackendForTesting(m_backend.get());
}

void TestScnCommonDialog::cleanup()
{
    Scn_Common_Dialog::setBackendForTesting(nullptr);
    m_backend.reset();
}

void TestScnCommonDialog::openFileName_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");

    const QString game = QStringLiteral("/games/data/unnamed_278.bin");

    QTest::newRow("cancel on a new object") << QStringList{Cancel} << QStringList{"-1"} << "" << "";
    QTest::newRow("chosen file") << QStringList{game} << QStringList{game} << game << "unnamed_278.bin";
    QTest::newRow("typed name of a file that does not exist")
        << QStringList{"/nowhere/at all/new file.bin"} << QStringList{"/nowhere/at all/new file.bin"}
        << "/nowhere/at all/new file.bin" << "new file.bin";
    QTest::newRow("254 characters") << QStringList{pathOfLength(254)} << QStringList{pathOfLength(254)}
                                    << pathOfLength(254) << QString(254 - 7, u'n');
    QTest::newRow("255 characters") << QStringList{pathOfLength(255)} << QStringList{pathOfLength(255)}
                                    << pathOfLength(255) << QString(255 - 7, u'n');
    QTest::newRow("256 characters") << QStringList{pathOfLength(256)} << QStringList{"-1"} << "" << "";
    QTest::newRow("300 characters") << QStringList{pathOfLength(300)} << QStringList{"-1"} << "" << "";
    QTest::newRow("too long after a success")
        << QStringList{game, pathOfLength(256)} << QStringList{game, "-1"} << game << "unnamed_278.bin";
    QTest::newRow("cancel after a success")
        << QStringList{game, Cancel} << QStringList{game, "-1"} << game << "unnamed_278.bin";
    QTest::newRow("second success replaces the first")
        << QStringList{"/a/one.bin", "/b/two.bin"} << QStringList{"/a/one.bin", "/b/two.bin"} << "/b/two.bin"
        << "two.bin";
    QTest::newRow("success after a cancel")
        << QStringList{Cancel, game} << QStringList{"-1", game} << game << "unnamed_278.bin";
    QTest::newRow("blanks around trimmed")
        << QStringList{"   /games/my data/x y.bin  "} << QStringList{"/games/my data/x y.bin"}
        << "/games/my data/x y.bin" << "x y.bin";
    QTest::newRow("blanks take room too")
        << QStringList{" " + pathOfLength(255)} << QStringList{"-1"} << "" << "";
    QTest::newRow("trailing blank within 255")
        << QStringList{pathOfLength(254) + " "} << QStringList{pathOfLength(254)} << pathOfLength(254)
        << QString(254 - 7, u'n');
    QTest::newRow("cut at a NUL") << QStringList{QStringLiteral("/games/a.bin") + QChar(u'\0') + "rest"}
                                  << QStringList{"/games/a.bin"} << "/games/a.bin" << "a.bin";
    QTest::newRow("blanks before a NUL trimmed")
        << QStringList{QStringLiteral(" /games/a.bin ") + QChar(u'\0') + " x"} << QStringList{"/games/a.bin"}
        << "/games/a.bin" << "a.bin";
    QTest::newRow("long tail after a NUL does not count")
        << QStringList{pathOfLength(255) + QChar(u'\0') + QString(100, u'x')} << QStringList{pathOfLength(255)}
        << pathOfLength(255) << QString(255 - 7, u'n');
    QTest::newRow("tabs are not blanks")
        << QStringList{"/games/a.bin\t"} << QStringList{"/games/a.bin\t"} << "/games/a.bin\t" << "a.bin\t";
    QTest::newRow("empty answer reads as cancel") << QStringList{game, ""} << QStringList{game, "-1"} << game
                                                  << "unnamed_278.bin";
    QTest::newRow("blank answer reads as cancel") << QStringList{"   "} << QStringList{"-1"} << "" << "";
}

void TestScnCommonDialog::openFileName()
{
    QFETCH(QStringList, answers);
    QFETCH(QStringList, results);
    QFETCH(QString, fileName);
    QFETCH(QString, title);

    for (const QString& answer : answers) {
        if (answer == Cancel)
            m_backend->enqueueCancel();
        else
            m_backend->enqueue(answer);
    }

    Scn_Common_Dialog dialog;
    QStringList got;
    for (qsizetype i = 0; i < answers.size(); ++i)
        got.append(dialog.OpenFileName(nullptr, QStringLiteral("Open File"), ExampleFilter));

    QCOMPARE(got, results);
    QCOMPARE(m_backend->pendingAnswers(), 0);
    QCOMPARE(dialog.FileName(), fileName);
    QCOMPARE(dialog.TitleName(), title);
}

void TestScnCommonDialog::newObjectHasNoName()
{
    const Scn_Common_Dialog dialog;
    QCOMPARE(dialog.FileName(), QString());
    QCOMPARE(dialog.TitleName(), QString());
    QVERIFY(m_backend->requests().isEmpty());
}

void TestScnCommonDialog::titleName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");

    QTest::newRow("full path") << "/games/data/unnamed_278.bin" << "unnamed_278.bin";
    QTest::newRow("no separator") << "unnamed_278.bin" << "unnamed_278.bin";
    QTest::newRow("relative") << "data/unnamed_278.bin" << "unnamed_278.bin";
    QTest::newRow("ends with a separator") << "/games/data/" << "";
    QTest::newRow("root only") << "/" << "";
    QTest::newRow("doubled separators") << "//server//share//x.bin" << "x.bin";
    QTest::newRow("blanks inside") << "/games/my data/un named.bin" << "un named.bin";
    QTest::newRow("no extension") << "/games/data/README" << "README";
    QTest::newRow("dot file") << "/games/.hidden" << ".hidden";
#ifdef Q_OS_WIN
    QTest::newRow("backslashes") << R"(C:\games\data\unnamed_278.bin)" << "unnamed_278.bin";
    QTest::newRow("mixed, backslash last") << R"(C:/games\x.bin)" << "x.bin";
    QTest::newRow("ends with a backslash") << R"(C:\games\)" << "";
#else
    // A backslash is an ordinary character in a Linux file name.
    QTest::newRow("backslashes") << R"(/games/a\b.bin)" << R"(a\b.bin)";
    QTest::newRow("ends with a backslash") << R"(/games/a\)" << R"(a\)";
#endif
}

void TestScnCommonDialog::titleName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, title);

    m_backend->enqueue(fileName);
    Scn_Common_Dialog dialog;
    QCOMPARE(dialog.OpenFileName(nullptr, QStringLiteral("Open File")), fileName);
    QCOMPARE(dialog.FileName(), fileName);
    QCOMPARE(dialog.TitleName(), title);
}

void TestScnCommonDialog::filterPairs_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("pieces"); // display, pattern, display, pattern...

    QTest::newRow("example") << ExampleFilter
                             << QStringList{"unnamed_278.bin (*.bin)", "*.bin", " All Files (*.*)", "*.*"};
    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("one pair") << "Text (*.txt)|*.txt" << QStringList{"Text (*.txt)", "*.txt"};
    QTest::newRow("trailing bar adds nothing") << "Text (*.txt)|*.txt|" << QStringList{"Text (*.txt)", "*.txt"};
    QTest::newRow("display without pattern") << "Everything" << QStringList{"Everything", ""};
    QTest::newRow("last display without pattern")
        << "Text|*.txt|Everything" << QStringList{"Text", "*.txt", "Everything", ""};
    QTest::newRow("blanks kept on both sides")
        << "  Text  |  *.txt  " << QStringList{"  Text  ", "  *.txt  "};
    QTest::newRow("several patterns") << "Data (*.bin;*.dat)|*.bin;*.dat"
                                      << QStringList{"Data (*.bin;*.dat)", "*.bin;*.dat"};
}

void TestScnCommonDialog::filterPairs()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, pieces);

    QStringList got;
    for (const auto& [display, pattern] : Scn_Common_Dialog::filterPairs(filter))
        got << display << pattern;
    QCOMPARE(got, pieces);
}

void TestScnCommonDialog::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");

    QTest::newRow("example") << ExampleFilter << QStringList{"unnamed_278.bin (*.bin)", " All Files (*.*)"};
    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("display without its pattern") << "Binary files|*.bin" << QStringList{"Binary files (*.bin)"};
    QTest::newRow("several patterns written in the display")
        << "Data (*.bin;*.dat)|*.bin;*.dat" << QStringList{"Data (*.bin *.dat)"};
    QTest::newRow("several patterns not in the display")
        << "Data|*.bin; *.dat" << QStringList{"Data (*.bin *.dat)"};
    QTest::newRow("display shows another pattern")
        << "Images (*.png)|*.bin" << QStringList{"Images (*.png) (*.bin)"};
    QTest::newRow("pattern not at the end of the display")
        << "Data (*.bin) files|*.bin" << QStringList{"Data (*.bin) files (*.bin)"};
    QTest::newRow("trailing blanks after the pattern")
        << "Text (*.txt)   |*.txt" << QStringList{"Text (*.txt)"};
    QTest::newRow("no pattern shows everything") << "Everything" << QStringList{"Everything (*)"};
    QTest::newRow("no display text") << "|*.bin" << QStringList{"(*.bin)"};
}

void TestScnCommonDialog::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(Scn_Common_Dialog::nameFilters(filter), nameFilters);
}

void TestScnCommonDialog::backendIsAskedWithOwnerTitleAndFilters()
{
    QWidget owner;
    m_backend->enqueue(QStringLiteral("/games/data/unnamed_278.bin"));
    Scn_Common_Dialog dialog;
    dialog.OpenFileName(&owner, QStringLiteral("Open File"), ExampleFilter);
    dialog.OpenFileName(nullptr, QStringLiteral("Another"));

    const QList<QueuedFileDialogBackend::Request>& requests = m_backend->requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[0].owner, &owner);
    QCOMPARE(requests[0].title, QStringLiteral("Open File"));
    QCOMPARE(requests[0].nameFilters, (QStringList{"unnamed_278.bin (*.bin)", " All Files (*.*)"}));
    QCOMPARE(requests[1].owner, nullptr);
    QCOMPARE(requests[1].title, QStringLiteral("Another"));
    QCOMPARE(requests[1].nameFilters, QStringList{});
}

void TestScnCommonDialog::queuedBackendAnswersInOrderThenCancels()
{
    QueuedFileDialogBackend backend;
    QCOMPARE(backend.getOpenFileName(nullptr, "t", {}), std::nullopt);
    backend.enqueue(QStringLiteral("/a"));
    backend.enqueueCancel();
    backend.enqueue(QStringLiteral("/b"));
    QCOMPARE(backend.pendingAnswers(), 3);
    QCOMPARE(backend.getOpenFileName(nullptr, "t", {}), std::optional<QString>(QStringLiteral("/a")));
    QCOMPARE(backend.getOpenFileName(nullptr, "t", {}), std::nullopt);
    QCOMPARE(backend.getOpenFileName(nullptr, "t", {}), std::optional<QString>(QStringLiteral("/b")));
    QCOMPARE(backend.getOpenFileName(nullptr, "t", {}), std::nullopt);
    QCOMPARE(backend.requests().size(), 5);
}

void TestScnCommonDialog::scopedBackendRestoresThePreviousOne()
{
    QCOMPARE(&Scn_Common_Dialog::backend(), m_backend.get());
    {
        QueuedFileDialogBackend inner;
        ScopedFileDialogBackend scope(inner);
        QCOMPARE(&Scn_Common_Dialog::backend(), &inner);
        inner.enqueue(QStringLiteral("/inner.bin"));
        Scn_Common_Dialog dialog;
        QCOMPARE(dialog.OpenFileName(nullptr, QStringLiteral("Open File")), QStringLiteral("/inner.bin"));
        QVERIFY(m_backend->requests().isEmpty());
    }
    QCOMPARE(&Scn_Common_Dialog::backend(), m_backend.get());

    Scn_Common_Dialog::setBackendForTesting(nullptr);
    {
        QueuedFileDialogBackend inner;
        ScopedFileDialogBackend scope(inner);
        QCOMPARE(&Scn_Common_Dialog::backend(), &inner);
    }
    QVERIFY(dynamic_cast<QtFileDialogBackend*>(&Scn_Common_Dialog::backend()));
}

void TestScnCommonDialog::defaultBackendIsQtFileDialog()
{
    Scn_Common_Dialog::setBackendForTesting(nullptr);
    QVERIFY(dynamic_cast<QtFileDialogBackend*>(&Scn_Common_Dialog::backend()));
}

namespace {

// What the real dialog looked like while it was open.
struct SeenDialog {
    bool found = false;
    QString title;
    QStringList nameFilters;
    QString selectedNameFilter;
    QFileDialog::FileMode fileMode = QFileDialog::ExistingFile;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptSave;
    bool qtWidgetDialog = false;
    QWidget* parent = nullptr;
    Qt::WindowModality modality = Qt::NonModal;
    bool modal = false;

    void record(QFileDialog* dialog)
    {
        found = true;
        title = dialog->windowTitle();
        nameFilters = dialog->nameFilters();
        selectedNameFilter = dialog->selectedNameFilter();
        fileMode = dialog->fileMode();
        acceptMode = dialog->acceptMode();
        qtWidgetDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
        parent = dialog->parentWidget();
        modality = dialog->windowModality();
        modal = dialog->isModal();
    }
};

QStringList simplified(const QStringList& list)
{
    QStringList result;
    for (const QString& text : list)
        result.append(text.simplified());
    return result;
}

} // namespace

void TestScnCommonDialog::realDialogCancelled_data()
{
    QTest::addColumn<bool>("withOwner");
    QTest::addColumn<QString>("filter");

    QTest::newRow("owner, example filter") << true << ExampleFilter;
    QTest::newRow("owner, no filter") << true << QString();
    QTest::newRow("no owner") << false << ExampleFilter;
}

void TestScnCommonDialog::realDialogCancelled()
{
    QFETCH(bool, withOwner);
    QFETCH(QString, filter);
    Scn_Common_Dialog::setBackendForTesting(nullptr);

    QWidget owner;
    owner.resize(300, 200);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    SeenDialog seen;
    DialogFinder finder([&](QFileDialog* dialog) {
        seen.record(dialog);
        dialog->reject();
    });

    HangGuard guard;
    Scn_Common_Dialog dialog;
    const QString result = dialog.OpenFileName(withOwner ? &owner : nullptr, QStringLiteral("Open File"), filter);

    QVERIFY(seen.found);
    QCOMPARE(result, QStringLiteral("-1"));
    QCOMPARE(dialog.FileName(), QString());
    QCOMPARE(dialog.TitleName(), QString());

    QCOMPARE(seen.title, QStringLiteral("Open File"));
    QVERIFY(seen.qtWidgetDialog);
    QCOMPARE(seen.fileMode, QFileDialog::AnyFile);
    QCOMPARE(seen.acceptMode, QFileDialog::AcceptOpen);
    QVERIFY(seen.modal);
    if (withOwner) {
        QCOMPARE(seen.parent, &owner);
        QCOMPARE(seen.modality, Qt::WindowModal);
    } else {
        QCOMPARE(seen.parent, nullptr);
        QCOMPARE(seen.modality, Qt::ApplicationModal);
    }
    if (filter.isEmpty()) {
        // Qt's own default when given none: show everything.
        QCOMPARE(seen.nameFilters.size(), 1);
    } else {
        // Qt tidies the blanks of the filters it is given.
        const QStringList expected = simplified(Scn_Common_Dialog::nameFilters(filter));
        QCOMPARE(seen.nameFilters, expected);
        QCOMPARE(seen.selectedNameFilter, expected.constFirst());
    }

    // No dialog is left behind.
    for (QWidget* window : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<QFileDialog*>(window));
}

void TestScnCommonDialog::realDialogTypedName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");

    QTest::newRow("file that does not exist") << QStringLiteral("new file.bin") << false;
    QTest::newRow("existing file") << QStringLiteral("unnamed_278.bin") << true;
    QTest::newRow("blanks and a quote") << QStringLiteral("it's a new one.bin") << false;
}

void TestScnCommonDialog::realDialogTypedName()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    Scn_Common_Dialog::setBackendForTesting(nullptr);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    QWidget owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    bool clicked = false;
    DialogFinder finder([&](QFileDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        QPushButton* open = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
        if (edit && open) {
            // The user goes to the folder, types the name and clicks Open. A
            // click rather than Return, which may go to the completer's popup.
            dialog->setDirectory(dir.path());
            edit->setFocus();
            QTest::keyClicks(edit, name);
            clicked = open->isEnabled();
            open->click();
        }
        if (dialog->isVisible())
            dialog->reject();
    });

    HangGuard guard;
    Scn_Common_Dialog dialog;
    const QString result = dialog.OpenFileName(&owner, QStringLiteral("Open File"), ExampleFilter);

    QVERIFY(clicked);
    QCOMPARE(result, path);
    QCOMPARE(dialog.FileName(), path);
    QCOMPARE(dialog.TitleName(), name);
    QCOMPARE(QFileInfo::exists(path), exists);
}

QTEST_MAIN(TestScnCommonDialog)
#include "tst_scn_common_dialog.moc"
