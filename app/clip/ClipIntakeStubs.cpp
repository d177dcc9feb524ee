// Placeholders until the clip intake lands: each takes its command line and
// returns, so that a clip process still ends at once with exit code 1.
#include "TarveloApp.h"
#include "clip/ClipIntake.h"

void CTarveloApp::AddClipFromCommandLine(CString) {}
void CTarveloApp::AddEventFromCommandLine(CString) {}
void StoreFormBlock(const CString&) {}
