#include "scn_process.h"

#include "jobobject_win.h"

#include <QProcess>

void Scn_Process::endWithTheEditor(QProcess& process)
{
    // One job holds every tool the editor starts. Its handle is never closed:
    // the system closes it when the editor ends, and the job kills the tools.
    static const HANDLE editorJob = jobobject::createKillOnClose();
    // Started suspended and let run only once it is in the job, the tool runs
    // nothing outside it: an editor that crashes in between leaves at worst a
    // suspended tool, which writes nothing.
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* arguments) { arguments->flags |= CREATE_SUSPENDED; });
    // QProcess on Windows reports the start from within start().
    QObject::connect(&process, &QProcess::started, &process,
                     [&process] { jobobject::runInJob(editorJob, static_cast<DWORD>(process.processId())); });
}
