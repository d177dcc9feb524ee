// The element-skin families of a skin: tool bar, menu, dock bar, frame, status bar, tab and
// shortcut bar (see ToolbarSkin.h, MenuSkin.h, DockbarSkin.h, FrameSkin.h, StatusbarSkin.h,
// TabSkin.h and ShortcutBarSkin.h).
#pragma once
#include "gdi/DC.h"
#include "skins/DockbarSkin.h"
#include "skins/FrameSkin.h"
#include "skins/MenuSkin.h"
#include "skins/ShortcutBarSkin.h"
#include "skins/StatusbarSkin.h"
#include "skins/TabSkin.h"
#include "skins/ToolbarSkin.h"

class COXSkinXP;
