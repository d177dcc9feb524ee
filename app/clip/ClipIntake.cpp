// The clip intake's entry points: start-up hands each clip command line here
// and ends the process with exit code 1 when they return.
#include "TarveloApp.h"
#include "clip/ClipIntake.h"
#include "clip/ClipRoad.h"
#include "clip/DialogAddItem.h"
#include "clip/IndexSnapshot.h"

#include "core/MessageBox.h"

namespace {

// The "Add to Tarvelo" dialog in the clip process (its main window is built
// only once the dialog is up, so the dialog has no owner).
bool AskWithDialog(const LinkClip& offered, LinkPlacementChoice& choice) {
    CDialogAddItem dialog(offered.title, offered.address, offered.formFlag, offered.pictureAddress);
    if (!choice.page.IsEmpty()) dialog.StartWith(choice.page, choice.section);
    if (dialog.DoModal() != IDOK) return false;
    choice.title = dialog.m_strName;
    choice.address = dialog.m_strAddress;
    choice.pictureAddress = dialog.m_strPicture;
    choice.page = dialog.m_strPage;
    choice.section = dialog.m_strSection;
    choice.keepForms = dialog.m_bKeepForms == 1;
    choice.showPicture = dialog.m_bShowPicture == 1;
    return true;
}

// A link-clip process reads the index for its dialog in the background, from
// when the dialog is up (see OnClipDialogUp).
const bool g_indexPrefetchPlanned = (PlanIndexPrefetch(GetCommandLineW()), true);

}  // namespace

void CTarveloApp::AddClipFromCommandLine(CString commandLine) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    TakeLinkClip(commandLine, AskWithDialog, now);
}

void OnClipDialogUp(std::function<void()> afterListed) { BeginIndexPrefetch(std::move(afterListed)); }

void CTarveloApp::AddEventFromCommandLine(CString commandLine) { TakeEventClip(commandLine); }

void RefuseUnreadableClip() {
    ShowMessageBox(nullptr, L"The clip could not be read (its text is cut off): nothing was added.", L"Tarvelo",
                   MB_OK | MB_ICONEXCLAMATION);
}

void StoreFormBlock(const CString& commandLine) { TakeFormBlockClip(commandLine); }
