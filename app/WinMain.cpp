#include "TarveloApp.h"
#include "app/WinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow) {
    // The application object lives in the app library: naming it here links it in.
    TheApp();
    return AfxWinMain(instance, cmdShow);
}
