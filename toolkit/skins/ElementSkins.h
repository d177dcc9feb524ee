// The element-skin families of a skin. The tool-bar family draws (see
// ToolbarSkin.h); the others are the places where the menus, dock bars, tabs,
// shortcut bars, mini frames, status bars and frames draw through once those
// windows are built: each is so far its variant's identity and, for the XP
// and 2003 variants, the skin they take their colours from.
#pragma once
#include "gdi/DC.h"

class COXSkinXP;
class COXToolbarSkin;

class COXMenuSkin {
public:
    virtual ~COXMenuSkin() = default;
};
class COXMenuSkinClassic : public COXMenuSkin {};
class COXMenuSkinXP : public COXMenuSkin {
public:
    explicit COXMenuSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}

protected:
    COXSkinXP* m_pSkin;
};
class COXMenuSkin2003 : public COXMenuSkinXP {
public:
    using COXMenuSkinXP::COXMenuSkinXP;
};

class COXDockbarSkin {
public:
    virtual ~COXDockbarSkin() = default;
};
class COXDockbarSkinClassic : public COXDockbarSkin {};
class COXDockbarSkinXP : public COXDockbarSkin {
public:
    explicit COXDockbarSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}

protected:
    COXSkinXP* m_pSkin;
};
class COXDockbarSkin2003 : public COXDockbarSkinXP {
public:
    using COXDockbarSkinXP::COXDockbarSkinXP;
};

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

class COXMiniFrameSkin {
public:
    virtual ~COXMiniFrameSkin() = default;
};
class COXMiniFrameSkinClassic : public COXMiniFrameSkin {};
class COXMiniFrameSkinXP : public COXMiniFrameSkin {
public:
    explicit COXMiniFrameSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}

protected:
    COXSkinXP* m_pSkin;
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

class COXFrameSkin {
public:
    virtual ~COXFrameSkin() = default;
};
class COXFrameSkinClassic : public COXFrameSkin {};
class COXFrameSkinXP : public COXFrameSkin {
public:
    explicit COXFrameSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}

protected:
    COXSkinXP* m_pSkin;
};
class COXFrameSkin2003 : public COXFrameSkinXP {
public:
    using COXFrameSkinXP::COXFrameSkinXP;
};
