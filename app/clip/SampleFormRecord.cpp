// The main window's sample form record: a web-mail sign-in form written as a
// form record, with its link added to the page the user picks.
#include "MainFrame.h"

#include "clip/DialogAddItem.h"
#include "forms/FormRecords.h"
#include "links/LinkInsertion.h"

#include "core/MessageBox.h"

namespace {

constexpr wchar_t kSampleAccount[] = L"tarvelo.sample@example.com";
constexpr wchar_t kSampleMailbox[] = L"https://mail.example.com/mail/";
constexpr wchar_t kSampleSignIn[] =
    L"https://accounts.example.com/ServiceLogin?service=mail&passive=true&rm=false"
    L"&continue=https%3A%2F%2Fmail.example.com%2Fmail%2F&ltmpl=default&ltmplcache=2";

CString SampleFormText() {
    const CString fields[][2] = {
        {L"ltmpl", L"default"}, {L"itmplcache", L"2"},      {L"continue", kSampleMailbox},
        {L"service", L"mail"},  {L"rm", L"false"},          {L"ltmpl", L"default"},
        {L"Email", kSampleAccount}, {L"Passwd", L"brindle"}, {L"PersistentCookie", L"yes"},
        {L"rmShown", L"1"},     {L"signIn", L"Sign in"},
    };
    CString text;
    for (const auto& field : fields) text += field[0] + L">>>" + field[1] + L"|||";
    return text;
}

} // namespace

void CMainFrame::OnSampleFormRecord() {
    CDialogAddItem dialog(kSampleAccount, kSampleSignIn, SampleFormText(), L"", nullptr);
    if (dialog.DoModal() != IDOK) return;
    // The record is written as a clip's form record is, closing lines
    // included, so that one Forms folder holds one format.
    CString path;
    if (!NewFormRecordPath(path) || !WriteFormRecordFile(path, dialog.m_strFormFlag)) {
        ShowMessageBox(nullptr, L"Error! File not Created in Function AddNewPage.", L"Tarvelo", MB_OK);
        return;
    }
    AddLinkToPage(dialog.m_strPage, dialog.m_strSection, dialog.m_strName, kSampleSignIn, L"");
}
