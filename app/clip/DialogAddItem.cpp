#include "clip/DialogAddItem.h"

#include "clip/ClipDialogIds.h"
#include "clip/ClipTitle.h"
#include "clip/ClipRoad.h"
#include "clip/IndexLists.h"
#include "clip/IndexSnapshot.h"
#include "tree/TreeNames.h"

#include "core/MessageBox.h"
#include "dialog/DataExchange.h"
#include "index/AllPagesIndex.h"
#include "install/InstallPath.h"
#include "pages/PageFile.h"
#include "util/Files.h"
#include "util/Registry.h"
#include "util/Strings.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

constexpr int kProgramIcon = 128;
constexpr UINT kIndexReadyMessage = WM_APP + 1;

bool OptionIsOn(const wchar_t* name) { return GetSettingInt(L"Settings", name, 0) == 0; }

// Why the link cannot go into the page named in the page box; empty when it
// can (the page exists, or the link writer can make it).
CString PageChoiceProblem(const CString& page) {
    if (page.IsEmpty()) return L"Please choose a page from the list or type the name of a new one.";
    if (!IsValidPageName(page))
        return L"\"" + page + L"\" cannot be a page name: a name holds none of / : * ? \" < > | and no empty "
                               L"folder name.";
    CString allpages = GetAllpagesPath();
    if (FileExists(ResolvePageFile(allpages, page))) return CString();
    if (CString tooLong = PathLengthProblem(allpages + L"\\" + page + L".htm", false); !tooLong.IsEmpty())
        return L"The page name is too long: " + tooLong + L". Please choose a shorter name.";
    int slash = page.ReverseFind(L'\\');
    if (slash > 0 && !FolderExists(allpages + L"\\" + page.Left(slash)))
        return L"There is no folder \"" + page.Left(slash) + L"\" for the new page \"" + page.Mid(slash + 1) +
               L"\". Please create the folder first, or choose another page.";
    return CString();
}

// Sorts the pages as the sorted page list orders them (the user's locale,
// case ignored): one sort key each, then plain byte comparisons, in place of
// a locale comparison for every pair the sort looks at.
void SortAsTheListDoes(std::vector<CString>& pages) {
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    std::vector<std::pair<std::string, size_t>> keys(pages.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        const CString& page = pages[i];
        int bytes = LCMapStringW(LOCALE_USER_DEFAULT, kFlags, page, page.GetLength(), nullptr, 0);
        keys[i].first.resize(static_cast<size_t>(std::max(bytes, 0)));
        if (bytes > 0)
            LCMapStringW(LOCALE_USER_DEFAULT, kFlags, page, page.GetLength(),
                         reinterpret_cast<wchar_t*>(keys[i].first.data()), bytes);
        keys[i].second = i;
    }
    std::sort(keys.begin(), keys.end());
    std::vector<CString> sorted;
    sorted.reserve(pages.size());
    for (const auto& key : keys) sorted.push_back(std::move(pages[key.second]));
    pages = std::move(sorted);
}

}  // namespace

CDialogAddItem::CDialogAddItem(const CString& title, const CString& address, const CString& formFlag,
                               const CString& picture, CWnd* parent)
    : CDialog(IDD_ADD_ITEM, parent),
      m_strFormFlag(formFlag),
      m_strName(title),
      m_strPicture(picture),
      m_strAddress(address) {
    m_strSavedPage = GetSettingString(L"Settings", L"addpage", L"");
    // Listed as typed: a name stored in the page's spelling reads the same.
    m_strSavedSection =
        DecodeCharacterReferences(UnescapeSectionFromSettings(GetSettingString(L"Settings", L"addsect", L"")));
}

void CDialogAddItem::StartWith(const CString& page, const CString& section) {
    m_strSavedPage = m_strPage = page;
    m_strSavedSection = m_strSection = section;
}

const MessageMap* CDialogAddItem::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapControl<&CDialogAddItem::OnSelChangePage>(CBN_SELCHANGE, IDC_ADD_PAGE),
        MapControl<&CDialogAddItem::OnSelChangeSection>(CBN_SELCHANGE, IDC_ADD_SECTION),
        MapControl<&CDialogAddItem::OnChangeAddress>(EN_CHANGE, IDC_ADD_ADDRESS),
        MapControl<&CDialogAddItem::OnTrimHead>(BN_CLICKED, IDC_ADD_TRIM_HEAD),
        MapControl<&CDialogAddItem::OnTrimEnd>(BN_CLICKED, IDC_ADD_TRIM_END),
        MapControl<&CDialogAddItem::OnDate>(BN_CLICKED, IDC_ADD_DATE),
        MapControl<&CDialogAddItem::OnShowPicture>(BN_CLICKED, IDC_ADD_SHOW_PICTURE),
        MapMessage<&CDialogAddItem::OnIndexReady>(kIndexReadyMessage),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries};
    return &map;
}

void CDialogAddItem::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ADD_SAVE_FORMS, m_btnSaveForms);
    DDX_Control(dx, IDC_ADD_SHOW_PICTURE, m_btnShowPicture);
    DDX_Text(dx, IDC_ADD_NAME, m_strName);
    DDX_Text(dx, IDC_ADD_ADDRESS, m_strAddress);
    DDX_Text(dx, IDC_ADD_PICTURE, m_strPicture);
    // The combo boxes' edit texts: a typed page or section is taken as it stands.
    DDX_Text(dx, IDC_ADD_PAGE, m_strPage);
    DDX_Text(dx, IDC_ADD_SECTION, m_strSection);
}

CComboBox& CDialogAddItem::Pages() {
    if (!m_pageList.GetSafeHwnd()) m_pageList.SubclassDlgItem(IDC_ADD_PAGE, this);
    return m_pageList;
}

CComboBox& CDialogAddItem::Sections() {
    if (!m_sectionList.GetSafeHwnd()) m_sectionList.SubclassDlgItem(IDC_ADD_SECTION, this);
    return m_sectionList;
}

void CDialogAddItem::FillPageList(const IndexSnapshot& index) {
    if (!index.HasPage(m_strSavedPage)) m_strSavedPage.Empty();
    std::vector<CString> listed =
        ListablePages(index.entries, [&](const CString& name) { return index.HasPage(name); });
    // The list is a sorted one. The pages are sorted here as the list sorts
    // them and inserted at its end, which skips the list's own search for
    // each one's place (a tenth of the time for ten thousand pages).
    SortAsTheListDoes(listed);
    CComboBox& pages = Pages();
    size_t textUnits = 0;
    for (const CString& page : listed) textUnits += static_cast<size_t>(page.GetLength()) + 1;
    pages.SendMessage(CB_INITSTORAGE, listed.size(), textUnits * sizeof(wchar_t));
    pages.SendMessage(WM_SETREDRAW, FALSE);
    for (const CString& page : listed) pages.InsertString(-1, page);
    pages.SendMessage(WM_SETREDRAW, TRUE);
}

void CDialogAddItem::SelectSavedChoice() {
    // The saved page, when it is still listed: the exact entry, else the first
    // entry beginning with it.
    if (m_strSavedPage.IsEmpty()) return;
    int found = Pages().FindStringExact(-1, m_strSavedPage);
    if (found < 0) found = Pages().FindString(-1, m_strSavedPage);
    if (found < 0) return;
    Pages().SetCurSel(found);
    m_strPage = m_strSavedPage;
    OnSelChangePage();
    if (m_strSavedSection.IsEmpty()) return;
    int section = Sections().FindStringExact(-1, m_strSavedSection);
    if (section < 0) section = Sections().FindString(-1, m_strSavedSection);
    if (section < 0) return;
    Sections().SetCurSel(section);
    m_strSection = m_strSavedSection;
}

BOOL CDialogAddItem::OnInitDialog() {
    // A large index may still be read in the background: the dialog opens at
    // once and lists the pages when they are there (OnIndexReady).
    IndexSnapshot index;
    if (TakeIndexSnapshot(GetAllpagesPath(), m_hWnd, kIndexReadyMessage, index)) {
        FillPageList(index);
        SelectSavedChoice();
    } else {
        // The choice made last is known without the index: it is in the boxes
        // from the first paint, and OK takes it while the lists still load.
        m_indexPending = true;
        CString allpages = GetAllpagesPath();
        if (!m_strSavedPage.IsEmpty() && IsValidPageName(m_strSavedPage) &&
            FileExists(ResolvePageFile(allpages, m_strSavedPage))) {
            m_strPage = m_prefilledPage = m_strSavedPage;
            m_strSection = m_prefilledSection = m_strSavedSection;
        }
    }

    if (m_strFormFlag != L"1") ::EnableWindow(::GetDlgItem(m_hWnd, IDC_ADD_SAVE_FORMS), FALSE);
    if (m_strAddress.IsEmpty()) ::EnableWindow(::GetDlgItem(m_hWnd, IDC_ADD_ADDRESS), FALSE);
    SetIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon)), TRUE);
    if (OptionIsOn(L"AddTime")) ::CheckDlgButton(m_hWnd, IDC_ADD_DATE, BST_CHECKED);
    if (GetSettingInt(L"Settings", L"showpic", 0) == 0) ::CheckDlgButton(m_hWnd, IDC_ADD_SHOW_PICTURE, BST_CHECKED);

    CDialog::OnInitDialog();
    return TRUE;
}

LRESULT CDialogAddItem::OnIndexReady(WPARAM, LPARAM) {
    IndexSnapshot index;
    if (!TakeIndexSnapshot(GetAllpagesPath(), m_hWnd, kIndexReadyMessage, index)) return 0;
    m_indexPending = false;
    FillPageList(index);
    // What the user typed or picked meanwhile stays.
    CString page = GetDlgItemText(IDC_ADD_PAGE), section = GetDlgItemText(IDC_ADD_SECTION);
    if ((page.IsEmpty() && section.IsEmpty()) || (page == m_prefilledPage && section == m_prefilledSection)) {
        SelectSavedChoice();
        SetDlgItemText(IDC_ADD_PAGE, m_strPage);
        SetDlgItemText(IDC_ADD_SECTION, m_strSection);
    }
    // An OK that waited for the lists goes on now.
    if (m_okWaiting) {
        m_okWaiting = false;
        OnOK();
    }
    return 0;
}

void CDialogAddItem::OnSelChangePage() {
    CComboBox& pages = Pages();
    int selected = pages.GetCurSel();
    if (selected < 0) return;
    CString page;
    pages.GetLBText(selected, page);
    CString value = GetSettingString(kAllPagesSection, page, L"");
    m_strFocus = UnescapeSectionFromSettings(GetSettingString(L"Focus", page, L""));
    CComboBox& sections = Sections();
    sections.ResetContent();
    SectionList list = SectionsOfPage(value, page, m_strSavedPage, m_strSavedSection, m_strFocus);
    for (const CString& name : list.names) sections.AddString(name);
    if (list.selected >= 0) sections.SetCurSel(list.selected);
}

void CDialogAddItem::OnOK() {
    // No page yet while the lists load: OK waits for them (they may bring
    // the page chosen last) and then goes on.
    if (m_indexPending && GetDlgItemText(IDC_ADD_PAGE).IsEmpty()) {
        m_okWaiting = true;
        return;
    }
    // The clip stays in the dialog until it has a page to go into.
    if (CString problem = PageChoiceProblem(GetDlgItemText(IDC_ADD_PAGE)); !problem.IsEmpty()) {
        ShowMessageBox(m_hWnd, problem, L"Tarvelo", MB_OK | MB_ICONEXCLAMATION);
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_ADD_PAGE));
        return;
    }
    m_bKeepForms = m_btnSaveForms.GetCheck() == BST_CHECKED ? 1 : 0;
    m_bShowPicture = m_btnShowPicture.GetCheck() == BST_CHECKED ? 1 : 0;
    CDialog::OnOK();
}

void CDialogAddItem::OnCancel() {
    DiscardFormBlocks();
    CDialog::OnCancel();
}

void CDialogAddItem::OnShowPicture() {
    // The stored setting, not the box's own toggle, decides the new state.
    bool wasOn = GetSettingInt(L"Settings", L"showpic", 0) == 0;
    ::CheckDlgButton(m_hWnd, IDC_ADD_SHOW_PICTURE, wasOn ? BST_UNCHECKED : BST_CHECKED);
    WriteSettingInt(L"Settings", L"showpic", wasOn ? 1 : 0);
}

void CDialogAddItem::OnDate() {
    CString title = GetDlgItemText(IDC_ADD_NAME);
    CString address = GetDlgItemText(IDC_ADD_ADDRESS);
    bool wasOn = OptionIsOn(L"AddTime");
    ::CheckDlgButton(m_hWnd, IDC_ADD_DATE, wasOn ? BST_UNCHECKED : BST_CHECKED);
    WriteSettingInt(L"Settings", L"AddTime", wasOn ? 1 : 0);
    WriteSettingInt(L"Settings", L"AddSource", wasOn ? 1 : 0);
    SYSTEMTIME now;
    GetLocalTime(&now);
    SetDlgItemText(IDC_ADD_NAME, ToggleDateTail(title, address, wasOn, now));
}

void CDialogAddItem::OnTrimEnd() { SetDlgItemText(IDC_ADD_NAME, TrimTitleEnd(GetDlgItemText(IDC_ADD_NAME))); }

void CDialogAddItem::OnTrimHead() { SetDlgItemText(IDC_ADD_NAME, TrimTitleHead(GetDlgItemText(IDC_ADD_NAME))); }
