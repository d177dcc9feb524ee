// The exports of TQIEMenuExt. The library refuses to load into Explorer,
// which would otherwise create a browser helper object in every folder window.
#include "AutoFill.h"
#include "com/ClassFactory.h"
#include "com/ServerRegistration.h"
#include "resource.h"

namespace {

ServerRegistration Registration() {
    ServerRegistration server;
    server.scriptIds = {IDR_TQIEMENUEXT, IDR_AUTOFILL};
    server.replacements[L"APPID"] = L"{2C8C4ED9-BEF3-4DB8-9A30-B24D7C3A6C7F}";
    return server;
}

bool HostIsExplorer() {
    CString host;
    for (int size = MAX_PATH;; size *= 2) {
        DWORD length = GetModuleFileNameW(nullptr, host.GetBufferSetLength(size), static_cast<DWORD>(size));
        if (length < static_cast<DWORD>(size)) {
            host.ReleaseBuffer(static_cast<int>(length));
            break;
        }
    }
    return host.MakeLower().Find(L"explorer.exe") >= 0;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        try {
            if (HostIsExplorer()) return FALSE;
        } catch (...) {
            return FALSE;
        }
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() { return ComModule::CanUnloadNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return GetClassObjectOf<CAutoFill>(CLSID_AutoFillClass, clsid, iid, out);
}

STDAPI DllRegisterServer() { return RegisterServer(Registration()); }

STDAPI DllUnregisterServer() { return UnregisterServer(Registration()); }
