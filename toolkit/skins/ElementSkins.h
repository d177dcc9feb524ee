// The element-skin families of a skin. The tool-bar, menu, dock-bar, frame, status-bar and
// shortcut-bar families draw (see ToolbarSkin.h, MenuSkin.h, DockbarSkin.h, FrameSkin.h,
// StatusbarSkin.h and ShortcutBarSkin.h); the tab family is the place where the tabs draw through
// once they are built: so far each variant's identity and, for the XP and 2003 variants, the skin
// they take their colours from.
#pragma once
#include "gdi/DC.h"
#include "skins/DockbarSkin.h"
#include "skins/FrameSkin.h"
#include "skins/MenuSkin.h"
#include "skins/ShortcutBarSkin.h"
#include "skins/StatusbarSkin.h"

class COXSkinXP;
class COXToolbarSkin;

class COXTabSkin {
public:
    virtual ~COXTabSkin() = default;
};
class COXTabSkinClassic : public COXTabSkin {};
class COXTabSkinXP : public COXTabSkin {
public:
    explicit COXTabSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}

protected:
    COXSkinXP* m_pSkin;
};
class COXTabSkin2003 : public COXTabSkinXP {
public:
    using COXTabSkinXP::COXTabSkinXP;
};

