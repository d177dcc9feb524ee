// The engine's entry point: a new, empty HTML document object (the engine's
// HTMLDocument), windowless, answering IHTMLDocument2, IHTMLDocument3,
// IPersistStreamInit and IOleCommandTarget.
#pragma once
#include <windows.h>
#include <objbase.h>

HRESULT CreateHtmlDocument(REFIID riid, void** out);
