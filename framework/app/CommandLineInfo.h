// What the program was asked to do on its command line.
#pragma once
#include "core/String.h"

#include <windows.h>

class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FileNothing = -1 };

    virtual ~CCommandLineInfo() = default;

    ShellCommand m_nShellCommand = FileNew;
    CString m_strFileName;

    // One argument: a flag (after "/" or "-") or a parameter. The first
    // parameter names a file to open.
    virtual void ParseParam(const wchar_t* param, BOOL flag, BOOL last);
};
