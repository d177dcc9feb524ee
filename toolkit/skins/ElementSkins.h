// The element-skin families of a skin. The tool-bar, menu, dock-bar, frame, status-bar and tab
// families draw (see ToolbarSkin.h, MenuSkin.h, DockbarSkin.h, FrameSkin.h, StatusbarSkin.h and
// TabSkin.h); the others are the places where the shortcut bars draw
// through once those windows are built: each is so far its variant's identity and, for the XP
// and 2003 variants, the skin they take their colours from.
#pragma once
#include "gdi/DC.h"
#include "skins/DockbarSkin.h"
#include "skins/FrameSkin.h"
#include "skins/MenuSkin.h"
#include "skins/StatusbarSkin.h"
#include "skins/TabSkin.h"

class COXSkinXP;
class COXToolbarSkin;

class COXShortcutBarSkin {
public:
    virtual ~COXShortcutBarSkin() = default;
};
class COXShortcutBarSkinClassic : public COXShortcutBarSkin {};
class COXShortcutBarSkinXP : public COXShortcutBarSkin {
public:
    explicit COXShortcutBarSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}

protected:
    COXSkinXP* m_pSkin;
};
class COXShortcutBarSkin2003 : public COXShortcutBarSkinXP {
public:
    using COXShortcutBarSkinXP::COXShortcutBarSkinXP;
};
