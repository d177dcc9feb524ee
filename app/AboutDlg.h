// CAboutDlg: the About box (dialog 100); no data of its own.
#pragma once
#include "dialog/Dialog.h"
#include "resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
