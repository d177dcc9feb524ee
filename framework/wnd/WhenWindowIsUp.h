// Work that must wait until the user sees a window: the action runs once, from
// the calling thread's message loop, when one of the thread's top-level
// windows is visible and painted.
#pragma once
#include <functional>

void RunWhenThreadWindowIsUp(std::function<void()> action);
