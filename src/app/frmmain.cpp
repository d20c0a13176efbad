#include "frmmain.h"

#include "artwork.h"
#include "container.h"
#include "editorpanel.h"
#include "fieldediting.h"
#include "filereplace.h"
#include "fonts.h"
#include "numbertext.h"
#include "panelframe.h"
#include "programfolder.h"
#include "scn_common_dialog.h"
#include "scn_process.h"
#include "twips.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScopeGuard>
#include <QUrl>

#include <cstring>
#include <utility>

namespace {

const QString kOpenFilter = QStringLiteral("unnamed_278.bin (*.bin)|*.bin| All Files (*.*)|*.*");

const QString kHelpText = QStringLiteral("To invert the image you need to change some points\r\n"
                                         "At the point \r\n"
                                         "A you put the value of point c, \r\n"
                                         "At point B you put the value of point D, \r\n"
                                         "At the point C you put the value of point A, \r\n"
                                         "At the point D you put the value of point B:\r\n"
                                         "\r\n"
                                         "Point A (224,112)\r\n"
                                         "Point B (256,112)\r\n"
                                         "Point C (224,0)\r\n"
                                         "Point D (256,0)");

QString quoted(const QString& path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

#ifdef Q_OS_WIN
const QString kToolName = QStringLiteral("zlibtool.exe");
#else
const QString kToolName = QStringLiteral("zlibtool");
#endif

// Keeps a file out of the way while a command may replace it, and puts it
// back unless the command keeps the new one.
class SetAside {
public:
    explicit SetAside(QString path) : m_path(std::move(path)), m_aside(m_path + QStringLiteral(".previous"))
    {
        QFile::remove(m_aside);
        m_moved = QFile::exists(m_path) && QFile::rename(m_path, m_aside);
    }
    ~SetAside()
    {
        if (m_keepNew) {
            QFile::remove(m_aside);
            return;
        }
        if (m_moved) {
            QFile::remove(m_path);
            QFile::rename(m_aside, m_path);
        }
    }
    bool ready() const { return !QFile::exists(m_path); }
    void keepNew() { m_keepNew = true; }

private:
    QString m_path;
    QString m_aside;
    bool m_moved = false;
    bool m_keepNew = false;
};

QByteArray readWhole(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return {};
    }
    return file.readAll();
}

// True when the container file decodes to exactly the plain file. The
// decoded data is compared piece by piece as it comes, never held whole.
bool compressedMatches(const QString& compressed, const QString& decompressed, QString* error)
{
    const QByteArray packed = readWhole(compressed, error);
    const QByteArray plain = readWhole(decompressed, error);
    if (!error->isEmpty())
        return false;
    struct Differs {};
    std::size_t compared = 0;
    const auto compare = [&](std::span<const std::uint8_t> piece) {
        if (piece.size() > static_cast<std::size_t>(plain.size()) - compared ||
            std::memcmp(piece.data(), plain.constData() + compared, piece.size()) != 0)
            throw Differs{};
        compared += piece.size();
    };
    try {
        zlibcodec::decompressContainer(
            {reinterpret_cast<const std::uint8_t*>(packed.constData()), static_cast<std::size_t>(packed.size())},
            compare);
        if (compared == static_cast<std::size_t>(plain.size()))
            return true;
    } catch (const Differs&) {
    } catch (const zlibcodec::Error& failure) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(compressed), QString::fromStdString(failure.what()));
        return false;
    }
    *error = QStringLiteral("%1 does not hold the layout that was written").arg(QDir::toNativeSeparators(compressed));
    return false;
}

} // namespace

frmMain::frmMain() : frmMain(programfolder::ofExecutable()) {}

frmMain::frmMain(const QString& programFolder) : m_programFolder(programfolder::withTrailingSeparator(programFolder))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Varnel 6.01.2011 BY Korvath"));
    setWindowIcon(artwork::windowIcon());
    // Relative paths resolve against the program folder.
    QDir::setCurrent(m_programFolder);

    m_panel = new EditorPanel(this);
    QPalette white = m_panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_panel->setPalette(white);
    m_panel->setAutoFillBackground(true);
    setCentralWidget(m_panel);
    // The panel sizes itself to the window's client area.
    m_panel->setFixedSize(m_panel->size());
    editing::connectStorePass(*m_panel, m_baza);

    buildMenus();
    buildFixedElements();
    m_openReadme = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    m_runProcess = [](const QString& commandLine) { Scn_Process().Run_Process(commandLine); };
    updateCommands();
}

void frmMain::buildMenus()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("Menu"));
    menu->setObjectName(QStringLiteral("MENU"));
    m_open = menu->addAction(QStringLiteral("Open File"), this, &frmMain::MnuFileOpen_Click);
    m_open->setObjectName(QStringLiteral("MnuFileOpen"));
    menu->addSeparator()->setObjectName(QStringLiteral("Sep"));
    m_save = menu->addAction(QStringLiteral("Save"), this, &frmMain::cmdZapisz_Click);
    m_save->setObjectName(QStringLiteral("cmdZapisz"));
    m_readmy = menuBar()->addAction(QStringLiteral("Readmy"), this, &frmMain::cmdReadmy_Click);
    m_readmy->setObjectName(QStringLiteral("cmdReadmy"));
}

void frmMain::buildFixedElements()
{
    auto place = [this](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(twips::toPixels(QRect(left, top, width, height), m_panel));
    };

    m_lokalizacja = new QLineEdit(m_panel);
    m_lokalizacja->setObjectName(QStringLiteral("Lokalizacja"));
    place(m_lokalizacja, 12840, 6240, 615, 285);
    m_lokalizacja->setEnabled(false);
    m_lokalizacja->hide();

    auto* logo = new QLabel(m_panel);
    logo->setObjectName(QStringLiteral("Picture1"));
    logo->setFrameStyle(QFrame::Box | QFrame::Plain);
    logo->setAlignment(Qt::AlignCenter);
    logo->setPixmap(artwork::logoBanner());
    place(logo, 12840, 6600, 2535, 1230);

    auto* thanks = new QLabel(QStringLiteral("Thanks to everyone who measured their scoreboards and sent in "
                                             "the numbers."),
                              m_panel);
    thanks->setObjectName(QStringLiteral("Label35"));
    thanks->setFont(fonts::designFont(QStringLiteral("MS Sans Serif"), 9.75, true));
    place(thanks, 120, 7920, 8205, 240);

    PanelFrame* vertexGroup = m_panel->frame(QStringLiteral("Frame9"));
    auto* help = new QLabel(vertexGroup);
    help->setObjectName(QStringLiteral("Picture2"));
    help->setPixmap(artwork::cornerHelp());
    place(help, 5640, 360, 3540, 2475);

    auto* helpText = new QLabel(kHelpText, vertexGroup);
    helpText->setObjectName(QStringLiteral("Label9"));
    helpText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    helpText->setWordWrap(true);
    // Small enough that the eleven lines fit the box with the stand-in font.
    helpText->setFont(fonts::designFont(QStringLiteral("MS Sans Serif"), 7.5));
    helpText->setAutoFillBackground(true);
    QPalette white = helpText->palette();
    white.setColor(QPalette::Window, Qt::white);
    helpText->setPalette(white);
    place(helpText, 5640, 3480, 3720, 2145);
}

QString frmMain::toolPath() const
{
    return m_programFolder + QStringLiteral("zlib") + QDir::separator() + kToolName;
}

QString frmMain::workingFolder() const
{
    return m_programFolder + QStringLiteral("zlib") + QDir::separator() + QStringLiteral("temp") + QDir::separator();
}

void frmMain::Clear_Fields()
{
    for (int k = 0; k < 44; ++k)
        m_panel->txt(k)->setText(QString());
}

void frmMain::setBusy(bool busy)
{
    m_busy = busy;
    updateCommands();
    if (!busy && m_closeRequested) {
        m_closeRequested = false;
        close();
    }
}

void frmMain::updateCommands()
{
    m_open->setEnabled(!m_busy);
    m_save->setEnabled(!m_busy && m_baza.Loaded());
    m_readmy->setEnabled(true);
}

void frmMain::MnuFileOpen_Click()
{
    if (m_busy)
        return;
    Clear_Fields();

    Scn_Common_Dialog dialog;
    const QString chosen = dialog.OpenFileName(this, QStringLiteral("Open File"), kOpenFilter);
    const QString title = dialog.TitleName();
    if (numbertext::isNumeric(chosen))
        return;
    if (!Baza::File_Exists(chosen) || QFileInfo(chosen).isDir())
        return;
    // Every path on the tool's command line is quoted; a quote inside a name
    // would end it early and change what the tool is told to do.
    if (title.contains(QLatin1Char('"')) || m_programFolder.contains(QLatin1Char('"'))) {
        QMessageBox* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Open File"),
                                           QStringLiteral("Cannot open %1:\nfile names with a double quote (\") "
                                                          "cannot be passed to zlibtool.")
                                               .arg(QDir::toNativeSeparators(chosen)),
                                           QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }

    setBusy(true);
    const auto idle = qScopeGuard([this] { setBusy(false); });
    const QString plainCopy = workingFolder() + title;
    const QString decompressed = plainCopy + QStringLiteral(".unzlib");
    {
        // An old decompressed file must never be taken for the new one; it
        // comes back if this Open fails, as it belongs to the layout on show.
        SetAside old(decompressed);
        QString error;
        if (old.ready() && filereplace::copyOver(chosen, plainCopy, &error)) {
            m_runProcess(quoted(toolPath()) + QLatin1Char(' ') + quoted(plainCopy) + QStringLiteral(" -d"));
            // Whatever is shown here goes back over the game file at Save, so
            // a tool that wrote something other than the file's content (cut
            // short, garbage) ends the Open as a failed tool would.
            if (compressedMatches(plainCopy, decompressed, &error) && m_baza.Wczytaj(decompressed)) {
                old.keepNew();
                m_targetPath = chosen;
                m_lokalizacja->setText(decompressed);
                editing::Show_Data(*m_panel, m_baza);
            }
        }
    }
}

void frmMain::cmdZapisz_Click()
{
    if (m_busy || !m_baza.Loaded())
        return;
    setBusy(true);
    const auto idle = qScopeGuard([this] { setBusy(false); });
    const QString decompressed = m_lokalizacja->text();
    const QString compressed = m_lokalizacja->text() + QStringLiteral(".zlib");

    // Writing into a missing working file would make a file of zeros around
    // the 44 values and put it over the game file.
    if (!QFileInfo(decompressed).isFile()) {
        reportSaveFailure(QStringLiteral("writing the layout"),
                          QStringLiteral("the working file %1 is missing").arg(QDir::toNativeSeparators(decompressed)));
        return;
    }
    try {
        m_baza.Zapisz(decompressed);
    } catch (const LayoutWriteError& error) {
        reportSaveFailure(QStringLiteral("writing the layout into %1").arg(error.file()), error.reason());
        return;
    }
    // A compressed file left from an earlier Save must not stand in for a
    // failed compression.
    if (QFile::exists(compressed) && !QFile::remove(compressed)) {
        reportSaveFailure(QStringLiteral("removing the old compressed file"),
                          QStringLiteral("%1 cannot be removed").arg(QDir::toNativeSeparators(compressed)));
        return;
    }
    m_runProcess(quoted(toolPath()) + QLatin1Char(' ') + quoted(m_lokalizacja->text()));
    if (!QFileInfo(compressed).isFile()) {
        reportSaveFailure(QStringLiteral("compressing with zlibtool"),
                          QStringLiteral("%1 produced no %2").arg(QDir::toNativeSeparators(toolPath()),
                                                                   QDir::toNativeSeparators(compressed)));
        return;
    }
    // The game file is the person's only copy: put nothing over it that does
    // not decode to exactly the layout just written.
    QString error;
    if (!compressedMatches(compressed, decompressed, &error)) {
        reportSaveFailure(QStringLiteral("checking the output of zlibtool"), error);
        return;
    }
    if (!filereplace::copyOver(compressed, m_targetPath, &error))
        reportSaveFailure(QStringLiteral("replacing the game file"), error);
}

void frmMain::reportSaveFailure(const QString& step, const QString& reason)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Save"),
                                QStringLiteral("%1 was not saved.\n\nFailed step: %2\nReason: %3")
                                    .arg(QDir::toNativeSeparators(m_targetPath), step, reason),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("SaveFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void frmMain::cmdReadmy_Click()
{
    // Resolved against the program folder: an Open may have moved the
    // current directory elsewhere.
    m_openReadme(m_programFolder + QStringLiteral("doc") + QDir::separator() + QStringLiteral("Readmy.txt"));
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Never leave a Save half done: close once the running command ends.
    if (m_busy) {
        m_closeRequested = true;
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
