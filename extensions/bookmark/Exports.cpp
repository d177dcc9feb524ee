// The exports of BookMark.
#include "BarObj.h"
#include "com/ClassFactory.h"
#include "com/ServerRegistration.h"
#include "resource.h"

namespace {

ServerRegistration Registration() {
    ServerRegistration server;
    server.scriptIds = {IDR_BOOKMARK, IDR_BAROBJ};
    server.replacements[L"APPID"] = L"{348DF01C-A683-4412-97FA-23BAC7A18D82}";
    return server;
}

}  // namespace

STDAPI DllCanUnloadNow() { return ComModule::CanUnloadNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return GetClassObjectOf<CBarObj>(CLSID_BarObjClass, clsid, iid, out);
}

STDAPI DllRegisterServer() { return RegisterServer(Registration()); }

STDAPI DllUnregisterServer() { return UnregisterServer(Registration()); }
