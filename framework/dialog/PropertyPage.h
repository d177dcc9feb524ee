// CPropertyPage: a dialog made from a child template, one page of a property
// sheet or, as here, of a dialog that shows its pages itself.
#pragma once
#include "dialog/Dialog.h"

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId = 0) : CDialog(templateId) {}
};
