#include "PageCapture.h"

#include "ClipCommandLine.h"
#include "FormBlocks.h"
#include "FormCapture.h"
#include "com/BStr.h"
#include "com/ComPtr.h"

bool IsFileAddress(const CString& url) {
    CString scheme = url.Left(4);
    return scheme.MakeUpper() == L"FILE";
}

ComPtr<IHTMLDocument2> BrowserDocument(IWebBrowser2* browser) {
    ComPtr<IDispatch> document;
    if (!browser || FAILED(browser->get_Document(document.Receive())) || !document) return nullptr;
    return document.As<IHTMLDocument2>();
}

void CapturePage(IWebBrowser2* browser, IHTMLDocument2* document, const CString& installPath, ProgramStarter& starter) {
    BStr url, title;
    browser->get_LocationURL(url.Receive());
    CString formText;
    if (!IsFileAddress(url.Text())) formText = CaptureForms(document);
    bool sent = !formText.IsEmpty() && SendFormBlocks(formText, starter, installPath);
    browser->get_LocationName(title.Receive());
    StartTarvelo(starter, installPath, LinkClip(url.Text(), title.Text(), sent ? FormFlag::Sent : FormFlag::NotSent));
}
