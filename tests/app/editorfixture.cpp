#include "editorfixture.h"

#include "container.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QTest>

using testfiles::readFile;
using testfiles::writeFile;

void EditorFixture::setUpEditor()
{
    QVERIFY(m_dir.isValid());
    QDir(m_dir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(workingFolder()));
    QVERIFY(QDir().mkpath(program() + "/doc"));
    QVERIFY(QDir().mkpath(games()));
    QVERIFY(QFile::copy(ZLIBTOOL_PATH, program() + "/zlib/zlibtool"));
    QVERIFY(writeFile(program() + "/doc/Readmy.txt", "readme"));
    m_sample = readFile(SAMPLE_PATH);
    QVERIFY(!m_sample.isEmpty());
    const auto plain = zlibcodec::decompressContainer(
        std::span(reinterpret_cast<const std::uint8_t*>(m_sample.constData()), std::size_t(m_sample.size())));
    m_plainSample = QByteArray(reinterpret_cast<const char*>(plain.data()), qsizetype(plain.size()));
    QVERIFY(writeFile(game(), m_sample));

    m_scopedDialog = std::make_unique<ScopedFileDialogBackend>(m_dialog);
    m_window = std::make_unique<frmMain>(program());
    m_window->show();
}

void EditorFixture::tearDownEditor()
{
    closeMessages();
    m_window.reset();
    m_scopedDialog.reset();
    while (m_dialog.pendingAnswers() > 0)
        m_dialog.getOpenFileName(nullptr, {}, {});
}

void EditorFixture::open(const QString& path)
{
    m_dialog.enqueue(path);
    m_window->findChild<QAction*>("MnuFileOpen")->trigger();
}

void EditorFixture::save() { m_window->findChild<QAction*>("cmdZapisz")->trigger(); }

bool EditorFixture::replaceTool(const QByteArray& body)
{
    const QString tool = program() + "/zlib/zlibtool";
    return QFile::rename(tool, program() + "/zlib/real-tool") &&
           writeFile(tool, "#!/bin/sh\nhere=\"$(dirname \"$0\")\"\n" + body) &&
           QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QByteArray EditorFixture::decompressWithTool(const QString& gameFile)
{
    const QString scratch = m_dir.path() + "/check";
    QDir().mkpath(scratch);
    const QString copy = scratch + "/check.bin";
    QFile::remove(copy);
    QFile::remove(copy + ".unzlib");
    if (!QFile::copy(gameFile, copy))
        return {};
    if (QProcess::execute(ZLIBTOOL_PATH, {copy, "-d"}) != 0)
        return {};
    return readFile(copy + ".unzlib");
}

QStringList EditorFixture::besideGame() const
{
    return QDir(games()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
}

QMessageBox* EditorFixture::shownMessage()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

void EditorFixture::closeMessages()
{
    while (QMessageBox* box = shownMessage()) {
        box->close();
        QCoreApplication::processEvents();
    }
}
