#pragma once

// Windows' job objects, for the tools the editor starts; free of Qt, so that
// a plain program tests them (under Wine here).

#include <windows.h>

namespace jobobject
{

// A job that kills every process in it when its last handle closes. The
// system closes a process's handles however it ends, crashes included.
// Null when the system gives none.
HANDLE createKillOnClose();

// Puts a process started with CREATE_SUSPENDED into job, then lets it run:
// it runs no instruction outside the job. Where it cannot be put in (job
// null, or refused), it runs all the same, as it would without jobs.
void runInJob(HANDLE job, DWORD processId);

} // namespace jobobject
