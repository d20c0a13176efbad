#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMenu;

// The "Recent Files" submenu: the last eight game files opened, newest
// first, kept in the same settings as the folder last opened.
class RecentFiles : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxFiles = 8;

    // open is called with the path chosen from the menu.
    RecentFiles(QMenu* menu, std::function<void(const QString&)> open);

    QStringList files() const;
    // Puts a file at the top of the list, once.
    void add(const QString& path);
    void remove(const QString& path);

private:
    void fill();
    void store(const QStringList& files);

    QMenu* m_menu;
    std::function<void(const QString&)> m_open;
};
