// Records every message box shown while it lives and answers each with a
// chosen button (IDOK unless told otherwise).
#pragma once
#include "core/MessageBox.h"

#include <vector>

class MessageBoxRecorder {
public:
    struct Shown {
        CString text;
        CString caption;
        UINT type;
    };

    explicit MessageBoxRecorder(int answer = IDOK);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void SetAnswer(int answer) { m_answer = answer; }
    const std::vector<Shown>& Boxes() const { return m_boxes; }
    bool Saw(const CString& text) const;

private:
    int m_answer;
    std::vector<Shown> m_boxes;
    MessageBoxHook m_previous;
};
