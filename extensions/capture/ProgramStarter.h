// Starting the main program: one new process per clip command line, never
// waited for. Tests put a recording starter in the shell's place.
#pragma once
#include "core/String.h"

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Starts `program` with `commandLine` as its parameters; true when it started.
    virtual bool Start(const CString& program, const CString& commandLine) = 0;
};

// Starts through the shell (ShellExecuteExW, default verb, SW_SHOW).
class ShellProgramStarter : public ProgramStarter {
public:
    bool Start(const CString& program, const CString& commandLine) override;
};

// Starts install path\Tarvelo.exe; an empty install path starts nothing.
bool StartTarvelo(ProgramStarter& starter, const CString& installPath, const CString& commandLine);
