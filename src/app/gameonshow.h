#pragma once

#include "filefingerprint.h"
#include "layoutstate.h"
#include "programfolder.h"

// The game file whose layout is on show, and what Varnel knows of it. A
// successful Open assigns it whole; a failed one never touches it.
struct GameOnShow {
    QString gameFile; // as chosen
    QString title;    // its name, which its working files take
    gamefile::WorkingFiles files;
    QString original;                 // where its original is, or will be, kept
    gamefile::FileFingerprint onDisk; // the game file as Varnel last read or wrote it
    layout::Record fileRecord{};      // the layout the game file holds, as read or last written
    editing::LayoutState saved;       // the panel as opened or last saved
};
