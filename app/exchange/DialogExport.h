// CDialogExport: "Tarvelo->Export" (dialog 106). It starts from the folder
// tree's selection (a page, a folder, or everything for the root) and the
// user's desktop; the export command reads m_nWhat, m_strSource,
// m_strDestination and m_nFileType after OK.
#pragma once
#include "dialog/Dialog.h"

class CXTreeCtrl;

enum ExportWhat { kExportPage = 0, kExportEverything = 1, kExportFolder = 2 };
enum ExportFileType { kExportAsIs = 0, kExportAnsi = 1, kExportBookmarkFile = 2 };

class CDialogExport : public CDialog {
public:
    // From the tree's selected item.
    CDialogExport(CXTreeCtrl* tree, CWnd* parent);
    // Without a tree: everything empty, a page export.
    explicit CDialogExport(CWnd* parent);

    CXTreeCtrl* m_pTree = nullptr;
    CString m_strSource;       // relative to the Allpages folder
    CString m_strDestination;
    CString m_strSavedSource;  // the source kept while "All Tarvelo BookMarks" is chosen
    int m_nWhat = kExportPage;
    int m_nOption = 0;         // 0 page, 1 folder, 2 everything
    int m_nFileType = kExportAsIs;

    BOOL OnInitDialog() override;

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnFile();
    void OnDirectory();
    void OnEverything();
    void OnBrowse();

private:
    void EnableControls(bool source, bool file, bool directory, bool types);
};
