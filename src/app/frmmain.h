#pragma once

#include "baza.h"

#include <QMainWindow>

// The program's only window. It owns the one layout record of the run.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    frmMain();
    explicit frmMain(const QString& programFolder);

    const QString& programFolder() const { return m_programFolder; }
    Baza& baza() { return m_baza; }

private:
    QString m_programFolder;
    Baza m_baza;
};
