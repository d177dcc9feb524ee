#include "FormBlocks.h"

#include "ClipCommandLine.h"

std::vector<CString> FormBlockClips(const CString& text) {
    std::vector<CString> clips;
    int length = text.GetLength();
    if (length == 0 || length > kFormTextLimit) return clips;
    int count = (length + kFormBlockLength - 1) / kFormBlockLength;
    for (int i = 0; i < count; ++i)
        clips.push_back(FormBlockClip(count, i + 1, text.Mid(i * kFormBlockLength, kFormBlockLength)));
    return clips;
}

bool SendFormBlocks(const CString& text, ProgramStarter& starter, const CString& installPath) {
    std::vector<CString> clips = FormBlockClips(text);
    if (clips.empty()) return false;
    for (const CString& clip : clips)
        if (!StartTarvelo(starter, installPath, clip)) return false;
    return true;
}
