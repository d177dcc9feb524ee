#include "FormFiller.h"

#include "com/BStr.h"
#include "com/ComPtr.h"
#include "com/PropertyRead.h"

#include <cwchar>
#include <vector>

namespace {

const wchar_t kClosingLine[] = L"$$$$$";

// An element without a name never matches.
template <typename I>
bool NameIs(I* element, const CString& name) {
    CString own;
    return ReadText(element, &I::get_name, own) && !own.IsEmpty() && own == name;
}

void FillInput(IHTMLInputElement* input, const CString& name, const CString& value) {
    CString type;
    if (!ReadText(input, &IHTMLInputElement::get_type, type) || !NameIs(input, name)) return;
    if (type == L"radio") {
        CString wanted = value;
        wanted.TrimRight(L' ');
        CString own;
        if (ReadText(input, &IHTMLInputElement::get_value, own) && own == wanted) input->put_checked(VARIANT_TRUE);
        return;
    }
    input->put_value(BStr(value).Get());
}

// The value's lines: this one and the following ones of the file, up to
// "$$$$$" or the end of the file.
std::vector<CString> FollowingLines(FormRecordFile& file, const CString& value, size_t limit) {
    std::vector<CString> lines;
    CString current = value;
    while (current != kClosingLine && lines.size() < limit) {
        lines.push_back(current);
        if (file.AtEnd()) break;
        current = file.ReadLine();
    }
    return lines;
}

void FillTextArea(IHTMLTextAreaElement* area, FormRecordFile& file, const CString& name, const CString& value) {
    if (!NameIs(area, name)) return;
    CString text;
    for (const CString& line : FollowingLines(file, value, SIZE_MAX)) text += line + L"\n";
    area->put_value(BStr(text).Get());
}

void FillSelect(IHTMLSelectElement* select, FormRecordFile& file, const CString& name, const CString& value) {
    CString type;
    if (!NameIs(select, name) || !ReadText(select, &IHTMLSelectElement::get_type, type)) return;
    if (type == L"select-one") {
        select->put_selectedIndex(std::wcstol(value.GetString(), nullptr, 10));
    } else if (type == L"select-multiple") {
        std::vector<CString> lines = FollowingLines(file, value, kMaxSelectLines);
        if (lines.empty()) return;
        select->put_length(static_cast<long>(lines.size()));
        for (size_t k = 0; k < lines.size(); ++k) {
            ComPtr<IDispatch> item;
            if (FAILED(select->item(IndexVariant(static_cast<long>(k)), IndexVariant(0), item.Receive())) || !item) continue;
            if (auto option = item.As<IHTMLOptionElement>()) option->put_text(BStr(lines[k]).Get());
        }
    }
}

void FillOptionButton(IHTMLOptionButtonElement* button, const CString& name, const CString& value) {
    CString own;
    if (NameIs(button, name) && ReadText(button, &IHTMLOptionButtonElement::get_value, own) && own == value)
        button->put_checked(VARIANT_TRUE);
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

FormRecordLine SplitRecordLine(const CString& line) {
    FormRecordLine record;
    int blank = line.Find(L' ');
    if (blank < 0) return record;
    record.name = line.Left(blank);
    int pos = blank;
    while (pos < line.GetLength()) {
        while (pos < line.GetLength() && line[pos] == L' ') ++pos;
        if (pos >= line.GetLength()) break;
        int end = line.Find(L' ', pos);
        if (end < 0) end = line.GetLength();
        if (!record.value.IsEmpty()) record.value += L' ';
        record.value += line.Mid(pos, end - pos);
        pos = end;
    }
    return record;
}

void FillForms(FormRecordFile& file, IHTMLElementCollection* forms, const CString& name, const CString& value) {
    long formCount = 0;
    if (!forms || FAILED(forms->get_length(&formCount))) return;
    for (long i = 0; i < formCount; ++i) {
        ComPtr<IDispatch> item;
        if (FAILED(forms->item(IndexVariant(i), IndexVariant(0), item.Receive())) || !item) continue;
        ComPtr<IHTMLFormElement> form = AsForm(item.Get());
        long fieldCount = 0;
        if (!form || FAILED(form->get_length(&fieldCount))) continue;
        for (long j = 0; j < fieldCount; ++j) {
            ComPtr<IDispatch> field;
            if (FAILED(form->item(IndexVariant(j), IndexVariant(0), field.Receive())) || !field) continue;
            if (auto input = field.As<IHTMLInputElement>()) FillInput(input.Get(), name, value);
            if (auto area = field.As<IHTMLTextAreaElement>()) FillTextArea(area.Get(), file, name, value);
            if (auto select = field.As<IHTMLSelectElement>()) FillSelect(select.Get(), file, name, value);
            if (auto button = field.As<IHTMLOptionButtonElement>()) FillOptionButton(button.Get(), name, value);
        }
    }
}

void LoadFormRecords(IHTMLDocument2* document, const CString& path) {
    if (!document) return;
    FormRecordFile file;
    if (!file.Open(path)) return;
    while (!file.AtEnd()) {
        FormRecordLine record = SplitRecordLine(file.ReadLine());
        ComPtr<IHTMLElementCollection> forms;
        if (FAILED(document->get_forms(forms.Receive())) || !forms) continue;
        FillForms(file, forms.Get(), record.name, record.value);
    }
}
