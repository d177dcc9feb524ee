// The element-skin families of a skin. The tool-bar, menu, dock-bar and frame families draw
// (see ToolbarSkin.h, MenuSkin.h, DockbarSkin.h and FrameSkin.h); the others are the places where the
// tabs, shortcut bars and status bars draw
// through once those windows are built: each is so far its variant's identity and, for the XP
// and 2003 variants, the skin they take their colours from.
#pragma once
#include "gdi/DC.h"
#include "skins/DockbarSkin.h"
#include "skins/FrameSkin.h"
#include "skins/MenuSkin.h"
#include "skins/ShortcutBarSkin.h"

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

class COXStatusbarSkin {
public:
    virtual ~COXStatusbarSkin() = default;
};
class COXStatusbarSkinClassic : public COXStatusbarSkin {};
class COXStatusbarSkinXP : public COXStatusbarSkin {
public:
    explicit COXStatusbarSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}

protected:
    COXSkinXP* m_pSkin;
};
class COXStatusbarSkin2003 : public COXStatusbarSkinXP {
public:
    using COXStatusbarSkinXP::COXStatusbarSkinXP;
};
