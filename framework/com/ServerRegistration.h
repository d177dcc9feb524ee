// DllRegisterServer and DllUnregisterServer of a library: its registry
// scripts (REGISTRY resources, %MODULE% replaced by the library's path) and
// its type library.
#pragma once
#include "com/RegistrarScript.h"

#include <vector>

struct ServerRegistration {
    std::vector<int> scriptIds;          // REGISTRY resources, applied in this order
    RegistrarReplacements replacements;  // besides MODULE
    bool typeLibrary = true;             // resource 1 TYPELIB
};

HRESULT RegisterServer(const ServerRegistration& server);
HRESULT UnregisterServer(const ServerRegistration& server);
