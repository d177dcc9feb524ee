#include "ClipCommandLine.h"

CString LinkClip(const CString& url, const CString& name, FormFlag flag) {
    CString clip = L"<param><url>";
    clip += url;
    clip += L"</url><name>";
    clip += name;
    clip += L"</name></param>";
    switch (flag) {
    case FormFlag::Absent: break;
    case FormFlag::Empty: clip += L"<form></form>"; break;
    case FormFlag::NotSent: clip += L"<form>0</form>"; break;
    case FormFlag::Sent: clip += L"<form>1</form>"; break;
    }
    return clip;
}

CString FormBlockClip(int count, int number, const CString& text) {
    CString clip;
    clip.Format(L"<TQBLK>%d</TQBLK><AA%d>", count, number);
    clip += text;
    clip += L"</AA>";
    return clip;
}
