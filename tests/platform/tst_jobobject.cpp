// The job object that ends the editor's tools with it (jobobject_win.h), in a
// plain program, no Qt, so that it runs under Wine. Copies of itself play the
// tools and an editor that ends abruptly while holding a tool's job.

#include "jobobject_win.h"

#include <cstdio>
#include <string>

static PROCESS_INFORMATION startCopy(const std::string& role, DWORD flags)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = '"' + std::string(self) + "\" " + role;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    CreateProcessA(self, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup, &started);
    return started;
}

// STILL_ACTIVE for a copy that runs on for 20 s; it is ended then.
static DWORD exitCodeOf(const PROCESS_INFORMATION& copy)
{
    if (WaitForSingleObject(copy.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(copy.hProcess, STILL_ACTIVE);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(copy.hProcess, &code);
    return code;
}

int main(int argc, char* argv[])
{
    const std::string role = argc > 1 ? argv[1] : "";
    if (role == "editor") { // ends as a crash would, closing nothing itself
        jobobject::runInJob(jobobject::createKillOnClose(), std::stoul(argv[2]));
        TerminateProcess(GetCurrentProcess(), 0);
    }
    if (!role.empty()) // a tool, started suspended: it gets here only when let run
        return role == "tool" ? 3 : (Sleep(60000), 0);

    std::string failed;
    for (HANDLE job : {jobobject::createKillOnClose(), HANDLE(nullptr)}) {
        const PROCESS_INFORMATION tool = startCopy("tool", CREATE_SUSPENDED);
        jobobject::runInJob(job, tool.dwProcessId);
        if (exitCodeOf(tool) != 3)
            failed += job ? " [let run in a job]" : " [let run where no job takes it]";
    }
    const PROCESS_INFORMATION tool = startCopy("hangingTool", CREATE_SUSPENDED);
    exitCodeOf(startCopy("editor " + std::to_string(tool.dwProcessId), 0));
    if (exitCodeOf(tool) == STILL_ACTIVE)
        failed += " [ended with the editor holding its job]";
    std::printf("%s\n", failed.empty() ? "passed" : ("FAILED:" + failed).c_str());
    return !failed.empty();
}
