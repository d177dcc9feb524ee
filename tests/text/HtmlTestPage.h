// A windowless engine document loaded through the document layer, in edit mode, with
// helpers that place the selection the way a user would.
#pragma once
#include "com/ComQuery.h"
#include "com/HtmlDocument.h"
#include "html/HtmlConvert.h"
#include "html/HtmlDocument.h"

#include <gtest/gtest.h>

class HtmlTestPage {
public:
    explicit HtmlTestPage(const CString& html) {
        EXPECT_EQ(CreateHtmlDocument(IID_IDispatch, m_dispatch.ReceiveVoid()), S_OK);
        document.Attach(m_dispatch.Get());
        EXPECT_TRUE(document.IsValid());
        EXPECT_TRUE(document.LoadHtml(html));
        document.SetDesignMode(true);  // edited, as the page view has it
    }

    bcHtmlElement Element(const CString& tag, long index = 0) const {
        return GetCollectionItem(document.GetElementsByTagName(tag).Get(), index);
    }
    CString BodyHtml() const { return Element(L"BODY").GetInnerHtml(); }

    // The caret at the start (or end) of an element's content.
    void PutCaretIn(const CString& tag, long index = 0, bool atStart = true) {
        auto range = BodyRange();
        range->moveToElementText(Element(tag, index).GetElement().Get());
        range->collapse(atStart ? VARIANT_TRUE : VARIANT_FALSE);
        range->select();
    }
    // The first occurrence of the text selected.
    void SelectText(const CString& text) {
        auto range = BodyRange();
        VARIANT_BOOL found = VARIANT_FALSE;
        range->findText(ScopedBstr(text), 0, 0, &found);
        ASSERT_TRUE(found) << "text not in page";
        range->select();
    }
    // An element selected as an object (an image or a table).
    void SelectObject(const CString& tag, long index = 0) {
        auto body = QueryAs<IHTMLElement2>(Element(L"BODY").GetElement().Get());
        ComPtr<IDispatch> created;
        body->createControlRange(created.Receive());
        auto controls = created.As<IHTMLControlRange>();
        controls->add(QueryAs<IHTMLControlElement>(Element(tag, index).GetElement().Get()).Get());
        controls->select();
    }

    bcHtmlDocument document;

private:
    ComPtr<IHTMLTxtRange> BodyRange() const {
        ComPtr<IHTMLTxtRange> range;
        QueryAs<IHTMLBodyElement>(Element(L"BODY").GetElement().Get())->createTextRange(range.Receive());
        return range;
    }
    ComPtr<IDispatch> m_dispatch;
};
