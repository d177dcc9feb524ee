// The AllPages tag index at start-up: built at once when its registry key
// is missing, then refreshed by a background thread that walks all pages.
#pragma once
#include <windows.h>

// Builds the index on this thread when Software\Tarvelo\Tarvelo\AllPages is missing.
void EnsureAllPagesIndex();
// Starts the index thread and lets it run on its own (never joined).
void StartIndexThread();
// The index thread: rebuilds every page's AllPages value; uses no COM and no window.
DWORD WINAPI IndexAllPagesThreadProc(LPVOID parameter);
