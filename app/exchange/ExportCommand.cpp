// The main window's Export command: the export dialog, then the export.
#include "MainFrame.h"

#include "exchange/DialogExport.h"
#include "exchange/PageExport.h"
#include "install/InstallPath.h"

void CMainFrame::OnExport() {
    CDialogExport dialog(&m_wndTree, this);
    if (dialog.DoModal() != IDOK) return;
    ExportRequest request;
    request.installPath = GetInstallPath();
    request.source = dialog.m_strSource;
    request.destination = dialog.m_strDestination;
    request.destination.Trim();
    while (request.destination.GetLength() > 3 && request.destination[request.destination.GetLength() - 1] == L'\\')
        request.destination.Truncate(request.destination.GetLength() - 1);
    request.what = dialog.m_nWhat;
    request.fileType = dialog.m_nFileType;
    RunExport(request);
}
