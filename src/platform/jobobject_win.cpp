#include "jobobject_win.h"

#include <tlhelp32.h>

namespace jobobject
{

HANDLE createKillOnClose()
{
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

void runInJob(HANDLE job, DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, processId);
    if (process && job)
        AssignProcessToJobObject(job, process);
    if (process)
        CloseHandle(process);
    // The caller knows the process, not its thread: a process started
    // suspended has one, found among the system's threads.
    HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (threads == INVALID_HANDLE_VALUE)
        return;
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    for (BOOL more = Thread32First(threads, &thread); more; more = Thread32Next(threads, &thread)) {
        if (thread.th32OwnerProcessID != processId)
            continue;
        if (HANDLE handle = OpenThread(THREAD_SUSPEND_RESUME, FALSE, thread.th32ThreadID)) {
            ResumeThread(handle);
            CloseHandle(handle);
        }
    }
    CloseHandle(threads);
}

} // namespace jobobject
