// CSimpleShlExt: Explorer's context-menu handler for every file and folder.
// It adds "Add to Tarvelo" to the menu and, when the user picks it, starts
// the main program with a link clip holding the first selected item's path
// and name (a folder's name ends in "/").
#pragma once
#include "TQFileExt.h"
#include "com/ComObject.h"
#include "com/TypeLibrary.h"

#include <shlobj.h>

extern const CLSID CLSID_SimpleShlExtClass;

// The verb of the item, for callers that invoke it by name.
extern const char kAddToTarveloVerb[];

class CSimpleShlExt : public ComObject<CSimpleShlExt, ISimpleShlExt, IShellExtInit, IContextMenu> {
public:
    CSimpleShlExt() : m_dispatch(IID_ISimpleShlExt) {}

    // IDispatch (the dual interface, through the type library)
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return m_dispatch.GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override { return m_dispatch.GetTypeInfo(index, info); }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return m_dispatch.GetIDsOfNames(names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                        UINT* badArgument) override {
        return m_dispatch.Invoke(static_cast<ISimpleShlExt*>(this), id, flags, params, result, exception, badArgument);
    }

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY key) override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand, UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR command, UINT flags, UINT* reserved, CHAR* buffer, UINT length) override;

protected:
    void* QueryBaseInterface(REFIID iid) override {
        return iid == IID_IDispatch ? static_cast<IDispatch*>(static_cast<ISimpleShlExt*>(this)) : nullptr;
    }

private:
    TypeInfoDispatch m_dispatch;
    CString m_path;  // the first item of the selection
};

// The name part of a path for the link clip: a drive root "C:\" gives "C:",
// otherwise the last component up to its first "." ("report.final.doc" gives
// "report"). Empty when the component begins with ".".
CString NamePartOf(const CString& path);
