#include "FormCapture.h"

#include "com/BStr.h"
#include "com/ComPtr.h"
#include "com/PropertyRead.h"

namespace {

void CaptureInput(IHTMLInputElement* input, CString& text) {
    CString type, name, value;
    if (!ReadText(input, &IHTMLInputElement::get_type, type) || type == L"radio") return;
    if (!ReadText(input, &IHTMLInputElement::get_name, name) || !ReadText(input, &IHTMLInputElement::get_value, value))
        return;
    text += name + L">>>" + value + L"|||";
}

void CaptureTextArea(IHTMLTextAreaElement* area, CString& text) {
    CString name, value;
    if (!ReadText(area, &IHTMLTextAreaElement::get_name, name) || !ReadText(area, &IHTMLTextAreaElement::get_value, value))
        return;
    text += name + L">>>" + value + L"|||";
}

void CaptureSelect(IHTMLSelectElement* select, CString& text) {
    CString type, name;
    if (!ReadText(select, &IHTMLSelectElement::get_type, type) || !ReadText(select, &IHTMLSelectElement::get_name, name))
        return;
    text += name + L">>>";
    if (type == L"select-one") {
        long index = 0;
        if (FAILED(select->get_selectedIndex(&index))) return;
        CString number;
        number.Format(L"%ld", index);
        text += number + L"<<<|||";
    } else if (type == L"select-multiple") {
        long count = 0;
        if (FAILED(select->get_length(&count))) return;
        for (long k = 0; k < count; ++k) {
            ComPtr<IDispatch> item;
            if (FAILED(select->item(IndexVariant(k), IndexVariant(0), item.Receive())) || !item) continue;
            auto option = item.As<IHTMLOptionElement>();
            CString optionText;
            if (!option || !ReadText(option.Get(), &IHTMLOptionElement::get_text, optionText)) continue;
            text += optionText + L"<<<|||";
        }
    }
}

void CaptureField(IDispatch* field, CString& text) {
    ComPtr<IDispatch> element(field);
    if (auto input = element.As<IHTMLInputElement>()) CaptureInput(input.Get(), text);
    if (auto area = element.As<IHTMLTextAreaElement>()) CaptureTextArea(area.Get(), text);
    if (auto select = element.As<IHTMLSelectElement>()) CaptureSelect(select.Get(), text);
    // Option buttons (radio and checkbox) add nothing beyond their input entry.
}

ComPtr<IHTMLFormElement> AsForm(IDispatch* item) {
    ComPtr<IDispatch> object(item);
    auto element = object.As<IHTMLElement>();
    CString tag;
    if (!element || !ReadText(element.Get(), &IHTMLElement::get_tagName, tag)) return nullptr;
    if (tag.MakeLower() != L"form") return nullptr;
    return object.As<IHTMLFormElement>();
}

}  // namespace

CString CaptureForms(IHTMLDocument2* document) {
    CString text;
    ComPtr<IHTMLElementCollection> forms;
    if (!document || FAILED(document->get_forms(forms.Receive())) || !forms) return text;
    long formCount = 0;
    if (FAILED(forms->get_length(&formCount))) return text;
    for (long i = 0; i < formCount; ++i) {
        ComPtr<IDispatch> item;
        if (FAILED(forms->item(IndexVariant(i), IndexVariant(0), item.Receive())) || !item) continue;
        ComPtr<IHTMLFormElement> form = AsForm(item.Get());
        if (!form) continue;
        long fieldCount = 0;
        if (FAILED(form->get_length(&fieldCount))) continue;
        for (long j = 0; j < fieldCount; ++j) {
            ComPtr<IDispatch> field;
            if (FAILED(form->item(IndexVariant(j), IndexVariant(0), field.Receive())) || !field) continue;
            CaptureField(field.Get(), text);
        }
    }
    return text;
}
