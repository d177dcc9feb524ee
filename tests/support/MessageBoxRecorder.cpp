#include "MessageBoxRecorder.h"

MessageBoxRecorder::MessageBoxRecorder(int answer) : m_answer(answer) {
    m_previous = SetMessageBoxHook([this](HWND, const CString& text, const CString& caption, UINT type) {
        m_boxes.push_back({text, caption, type});
        return m_answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHook(m_previous); }

bool MessageBoxRecorder::Saw(const CString& text) const {
    for (const auto& box : m_boxes)
        if (box.text == text) return true;
    return false;
}
