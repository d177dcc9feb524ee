// A pick from one of the format toolbar's font boxes with the mouse, as a
// user makes it: the box's arrow, then the item in the list that drops down.
#pragma once
#include "ProgramDriver.h"
#include "ToolbarPlaces.h"

#include <gtest/gtest.h>

inline void PickInFontBox(ProgramDriver& program, HWND toolbar, int boxId, int item) {
    HWND box = GetDlgItem(toolbar, boxId);
    ASSERT_NE(box, nullptr);
    RECT closed{};
    GetWindowRect(box, &closed);
    ProgramDriver::MouseClick(POINT{closed.right - 6, (closed.top + closed.bottom) / 2});
    HWND list = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (list = program.TopWindow(L"ComboLBox")) != nullptr; }, 8000))
        << "the list did not drop down; up: " << program.TopWindows().str();
    program.Settle();
    const int height = static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, 0, 0));
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    const RECT area = ScreenClientOf(list);
    ASSERT_GT(height, 0);
    ProgramDriver::MouseClick(POINT{area.left + 12, area.top + (item - top) * height + height / 2});
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindowVisible(list); }, 8000)) << "the list stays down";
    program.Settle();
}
