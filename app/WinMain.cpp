#include "app/WinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow) { return AfxWinMain(instance, cmdShow); }
