// The exports of TQMenuExt.
#include "MenuExt.h"
#include "com/ClassFactory.h"
#include "com/ServerRegistration.h"
#include "resource.h"

namespace {

ServerRegistration Registration() {
    ServerRegistration server;
    server.scriptIds = {IDR_TQMENUEXT, IDR_MENUEXT};
    server.replacements[L"APPID"] = L"{B4F89C04-C7D8-4850-A9FD-CFA35D24A18D}";
    // Recompose on resize, can't link inside, inside-out, activate when visible, set client site first.
    server.replacements[L"OLEMISC"] = L"131473";
    return server;
}

}  // namespace

STDAPI DllCanUnloadNow() { return ComModule::CanUnloadNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return GetClassObjectOf<CMenuExt>(CLSID_MenuExtClass, clsid, iid, out);
}

STDAPI DllRegisterServer() { return RegisterServer(Registration()); }

STDAPI DllUnregisterServer() { return UnregisterServer(Registration()); }
