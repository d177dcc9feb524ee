// The framework's COM error object is the platform's _com_error: a failed
// call through the engine's typed wrappers raises it (ThrowIfFailed), and
// the window procedures catch it so that it never leaves a message handler.
#pragma once
#include <windows.h>

#include <comdef.h>

// Raises _com_error for a failed HRESULT; returns it otherwise.
inline HRESULT ThrowIfFailed(HRESULT hr) {
    if (FAILED(hr)) _com_issue_error(hr);
    return hr;
}
