#include "com/ServerRegistration.h"

#include "com/ComModule.h"
#include "com/TypeLibrary.h"

namespace {

HRESULT LoadScript(const ServerRegistration& server, int id, RegistrarScript& script) {
    std::optional<CString> text = LoadRegistrarResource(ComModule::Handle(), id);
    if (!text) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    RegistrarReplacements replacements = server.replacements;
    replacements[L"MODULE"] = ComModule::Path();
    return script.Parse(*text, replacements) ? S_OK : E_UNEXPECTED;
}

}  // namespace

HRESULT RegisterServer(const ServerRegistration& server) {
    try {
        for (int id : server.scriptIds) {
            RegistrarScript script;
            HRESULT hr = LoadScript(server, id, script);
            if (SUCCEEDED(hr)) hr = script.Register();
            if (FAILED(hr)) return hr;
        }
        return server.typeLibrary ? RegisterModuleTypeLibrary(ComModule::Path()) : S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnregisterServer(const ServerRegistration& server) {
    try {
        HRESULT result = server.typeLibrary ? UnregisterModuleTypeLibrary(ComModule::Path()) : S_OK;
        for (auto id = server.scriptIds.rbegin(); id != server.scriptIds.rend(); ++id) {
            RegistrarScript script;
            HRESULT hr = LoadScript(server, *id, script);
            if (SUCCEEDED(hr)) hr = script.Unregister();
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
        return result;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
