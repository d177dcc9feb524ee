// CDialogImport: "Tarvelo->Import" (dialog 105). The user picks what to
// bring in (a file, the Favorites, a folder, a saved bookmark folder, a
// bookmark file) and its path; the import command reads m_nSourceKind and
// m_strPath after OK.
#pragma once
#include "dialog/Dialog.h"

enum ImportKind { kImportFile = 0, kImportFavorites, kImportFolder, kImportWholeStore, kImportFirefoxFile, kImportIeFile };

class CDialogImport : public CDialog {
public:
    explicit CDialogImport(CWnd* parent = nullptr);

    CString m_strPath;
    int m_nSourceKind = kImportFile;
    int m_nOption = 0;

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOptionClicked(UINT id);
    void OnBrowse();
};
