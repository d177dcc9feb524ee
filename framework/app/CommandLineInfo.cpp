#include "app/CommandLineInfo.h"

void CCommandLineInfo::ParseParam(const wchar_t* param, BOOL flag, BOOL) {
    if (flag || !param || !*param) return;
    if (m_strFileName.IsEmpty()) {
        m_strFileName = param;
        m_nShellCommand = FileOpen;
    }
}
