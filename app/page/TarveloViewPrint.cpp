// Print (Ctrl+P): the engine prints the page through its print dialog.
#include "page/TarveloView.h"

#include "core/MessageBox.h"

#include <docobj.h>

void CTarveloView::OnFilePrint() {
    if (!m_browser) return;
    HRESULT printed = m_browser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr);
    // Cancel in the print dialog is no failure; a printer that took nothing is.
    if (FAILED(printed) && printed != OLECMDERR_E_CANCELED)
        ShowMessageBox(m_hWnd, L"The page could not be printed.", L"Tarvelo", MB_OK | MB_ICONEXCLAMATION);
}
