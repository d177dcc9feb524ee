// Registry scripts in the registrar syntax the libraries keep as REGISTRY
// resources, and the writer and remover that apply them:
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {C70F0902-...} = s 'MenuExt Class'
//           {
//               InprocServer32 = s '%MODULE%' { val ThreadingModel = s 'Apartment' }
//           }
//       }
//   }
//
// Keys: `name [= s 'default'] [{ ... }]`, values: `val name = s 'text'` or
// `val name = d 'number'`. Registration creates every key and value;
// `ForceRemove` keys are deleted first. Unregistration deletes `ForceRemove`
// keys with everything below them, deletes plain keys once nothing is left
// below them, and never deletes `NoRemove` keys (only the values the script
// names in them). `Delete` keys are deleted on registration.
// %NAME% in names and texts is replaced from the given table.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <map>
#include <optional>
#include <vector>

struct RegistrarValue {
    CString name;  // empty: the key's default value
    bool isNumber = false;
    CString text;
    DWORD number = 0;
};

struct RegistrarKey {
    enum class Removal { Plain, NoRemove, ForceRemove, Delete };
    CString name;
    Removal removal = Removal::Plain;
    std::optional<RegistrarValue> defaultValue;
    std::vector<RegistrarValue> values;
    std::vector<RegistrarKey> subkeys;
};

struct RegistrarRoot {
    HKEY root = nullptr;
    std::vector<RegistrarKey> keys;
};

using RegistrarReplacements = std::map<CString, CString>;

class RegistrarScript {
public:
    // Parses a script; false (with the reason in `error`) when it is malformed.
    bool Parse(const CString& text, const RegistrarReplacements& replacements, CString* error = nullptr);
    const std::vector<RegistrarRoot>& Roots() const { return m_roots; }

    // Writes every key and value; the first registry failure ends it.
    HRESULT Register() const;
    // Removes what Register wrote, as the removal marks say.
    HRESULT Unregister() const;

private:
    std::vector<RegistrarRoot> m_roots;
};

// Loads the REGISTRY resource `id` of `module` as text (UTF-8 or UTF-16 with a mark).
std::optional<CString> LoadRegistrarResource(HMODULE module, int id);
