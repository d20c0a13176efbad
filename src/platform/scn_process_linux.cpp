#include "scn_process.h"

#include <QProcess>

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

void Scn_Process::endWithTheEditor(QProcess& process)
{
    // The kernel kills the tool when the thread that started it (the
    // editor's main thread) ends.
    const pid_t editor = getpid();
    process.setChildProcessModifier([editor] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != editor) // the editor ended before the line above
            _exit(127);
    });
}
