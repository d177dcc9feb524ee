#include "TarveloApp.h"
#include "app/WinApp.h"

// The one application object of the process, constructed before WinMain runs.
CTarveloApp theApp;

CTarveloApp& TheApp() { return theApp; }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow) {
    return AfxWinMain(instance, cmdShow);
}
