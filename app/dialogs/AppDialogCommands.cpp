// The application's options command.
#include "TarveloApp.h"
#include "dialogs/OptionsDlg.h"

#include "util/Registry.h"

void CTarveloApp::OnOptions() {
    COptionsDlg dialog;
    if (dialog.DoModal() == IDOK) SaveOptions(dialog.m_pageNewPage, dialog.m_pageSettings);
}
