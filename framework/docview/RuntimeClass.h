// Classes that document templates create by themselves (documents, frames,
// views): a name and a factory, one per class.
#pragma once
#include "wnd/CmdTarget.h"

#include <typeinfo>

struct CRuntimeClass {
    const char* m_lpszClassName;
    CCmdTarget* (*m_pfnCreateObject)();

    CCmdTarget* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

// RuntimeClass<CTarveloDoc>() describes CTarveloDoc (default-constructible).
template <typename T> const CRuntimeClass* RuntimeClass() {
    static const CRuntimeClass runtimeClass{typeid(T).name(), []() -> CCmdTarget* { return new T; }};
    return &runtimeClass;
}
