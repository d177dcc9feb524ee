#include "pages/PageTemplate.h"

#include "install/InstallPath.h"
#include "pages/PageFile.h"
#include "pages/PageRewriteLock.h"
#include "tree/TreeItemPath.h"
#include "util/PathParts.h"
#include "util/Registry.h"

#include "core/MessageBox.h"

#include <commctrl.h>

namespace {

struct TemplateSettings {
    bool headTitle, headLine, footLine, foot;
};

TemplateSettings ReadTemplateSettings() {
    return {GetSettingInt(L"Settings", L"HeadTitle", 0) == 0, GetSettingInt(L"Settings", L"HeadLine", 0) == 0,
            GetSettingInt(L"Settings", L"FootLine", 0) == 0, GetSettingInt(L"Settings", L"Foot", 0) == 0};
}

void AppendHead(CString& text, const CString& name, const TemplateSettings& settings) {
    if (settings.headTitle)
        text += L"<center><font color=\"#606666\" size=5 face=\"Verdana, Arial, Helvetica, sans-serif\"><B>" + name +
                L"</B></font></center>\n";
    if (settings.headLine) text += kHeadLine;
}

void ReportFailure(const wchar_t* message) { ShowMessageBox(nullptr, message, L"Tarvelo", MB_OK); }

} // namespace

CString GetPageFooterLine() {
    return CString(L"<center><font size=2><a href= \"") + kProductSiteAddress + L"\">Tarvelo</a></font></center>\n";
}

CString GetPageEnding(int openDivs) {
    CString ending = CString(kPageSpacers) + kBodyEndMarkerLine + GetPageFooterLine();
    for (int i = 0; i < openDivs; ++i) ending += L"</DIV>";
    return ending + L"</body>\n</html>\n";
}

CString BuildPageTemplate(const CString& name) {
    TemplateSettings settings = ReadTemplateSettings();
    CString text = L"<html id=tq1>\n<head>\n<title>" + name + L"</title>\n</head>\n";
    text += L"<body background=\"#606666\" color =\"#606666\">\n";
    AppendHead(text, name, settings);
    if (settings.footLine) text += CString(kPageSpacers) + kBodyEndMarkerLine;
    if (settings.foot) text += GetPageFooterLine();
    text += L"</body>\n</html>\n";
    return text;
}

CString BuildDivPageTemplate(const CString& name) {
    TemplateSettings settings = ReadTemplateSettings();
    CString text = L"<html id=tq1>\n<head>\n<title>" + name + L"</title>\n</head>\n";
    text += L"<body background=\"#606666\" color =\"#606666\"><DIV>\n";
    AppendHead(text, name, settings);
    text += kPageSpacers;
    if (settings.footLine) text += kBodyEndMarkerLine;
    if (settings.foot) text += GetPageFooterLine();
    text += L"</DIV></body>\n</html>\n";
    return text;
}

int AddNewPage(const CString& name) {
    CString install = GetInstallPath();
    if (!IsUsableInstallPath(install) || !IsValidPageName(name)) {
        ReportFailure(L"Error! File not Created in Function AddNewPage.");
        return 0;
    }
    PageRewriteLock lock(install);
    CString path = install + kAllpagesFolder + L"\\" + name + L".htm";
    if (!WritePageText(path, BuildPageTemplate(name))) {
        ReportFailure(L"Error! File not Created in Function AddNewPage.");
        return 0;
    }
    return 1;
}

CString GetNewFileFolder(HWND tree) {
    HTREEITEM root = TreeView_GetRoot(tree);
    HTREEITEM item = TreeView_GetSelection(tree);
    if (!item) item = root;
    if (!item || item == root) return GetAllpagesPath();
    CString path = GetTreeItemPath(tree, item);
    CString ext = GetFileExt(path);
    ext.MakeUpper();
    if (ext != L"HTM" && ext != L"HTML") return path;
    HTREEITEM parent = TreeView_GetParent(tree, item);
    if (!parent || parent == root) return GetAllpagesPath();
    return GetTreeItemPath(tree, parent);
}

int AddNewFile(HWND tree, const CString& name) {
    CString install = GetInstallPath();
    CString folder = GetNewFileFolder(tree);
    if (!IsUsableInstallPath(install) || !IsValidPageName(name) || name.Find(L'\\') >= 0) {
        ReportFailure(L"Error! File not Created while Add New File.");
        return 0;
    }
    PageRewriteLock lock(install);
    if (!WritePageText(folder + L"\\" + name + L".htm", BuildDivPageTemplate(name))) {
        ReportFailure(L"Error! File not Created while Add New File.");
        return 0;
    }
    return 1;
}
