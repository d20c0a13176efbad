#include "recentfiles.h"

#include "varnelsettings.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace
{

const QString kKey = QStringLiteral("recentGameFiles");

} // namespace

RecentFiles::RecentFiles(QMenu* menu, std::function<void(const QString&)> open)
    : QObject(menu), m_menu(menu), m_open(std::move(open))
{
    // Made each time it opens, not at start: another Varnel may have opened
    // files meanwhile, and start-up need not read the settings.
    connect(menu, &QMenu::aboutToShow, this, &RecentFiles::fill);
}

QStringList RecentFiles::files() const
{
    return varnelSettings().value(kKey).toStringList();
}

void RecentFiles::add(const QString& path)
{
    QStringList list = files();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    list.removeAll(absolute);
    list.prepend(absolute);
    store(list.mid(0, kMaxFiles));
}

void RecentFiles::remove(const QString& path)
{
    QStringList list = files();
    list.removeAll(QFileInfo(path).absoluteFilePath());
    store(list);
}

void RecentFiles::store(const QStringList& list)
{
    // The menu is made anew when it next opens: an action of it may be the
    // one that asked for this.
    varnelSettings().setValue(kKey, list);
}

void RecentFiles::fill()
{
    m_menu->clear();
    const QStringList list = files();
    for (int i = 0; i < list.size(); ++i) {
        // "&1 unnamed_278.bin  (/home/me/game)": a key for each, and the folder
        // to tell files of one name apart.
        const QFileInfo file(list[i]);
        QAction* action = m_menu->addAction(
            QStringLiteral("&%1 %2  (%3)")
                .arg(i + 1)
                .arg(file.fileName().replace(u'&', QStringLiteral("&&")),
                     QDir::toNativeSeparators(file.path()).replace(u'&', QStringLiteral("&&"))));
        connect(action, &QAction::triggered, this, [this, path = list[i]] { m_open(path); });
    }
    m_menu->addSeparator();
    QAction* clear = m_menu->addAction(QStringLiteral("Clear Recent Files"), this, [this] { store({}); });
    clear->setObjectName(QStringLiteral("clearRecentFiles"));
    clear->setEnabled(!list.isEmpty());
}
