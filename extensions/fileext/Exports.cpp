// The exports of TQFileExt.
#include "SimpleShlExt.h"
#include "com/ClassFactory.h"
#include "com/ServerRegistration.h"
#include "resource.h"

namespace {

ServerRegistration Registration() {
    ServerRegistration server;
    server.scriptIds = {IDR_TQFILEEXT, IDR_SIMPLESHLEXT};
    server.replacements[L"APPID"] = L"{C0C1DE0D-DD46-45DF-B387-DC0205BD7479}";
    return server;
}

}  // namespace

STDAPI DllCanUnloadNow() { return ComModule::CanUnloadNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return GetClassObjectOf<CSimpleShlExt>(CLSID_SimpleShlExtClass, clsid, iid, out);
}

STDAPI DllRegisterServer() { return RegisterServer(Registration()); }

STDAPI DllUnregisterServer() { return UnregisterServer(Registration()); }
