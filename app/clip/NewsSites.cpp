#include "clip/NewsSites.h"

namespace {

struct NewsSite {
    const wchar_t* siteWord;
    const wchar_t* sourceName;
};

constexpr NewsSite kNewsSites[] = {
    {L"nytimes", L"New York Times"},
    {L"washingtonpost", L"Washington Post"},
    {L"wsj", L"Wall Street Journal"},
    {L"bbc", L"BBC News"},
    {L"cnn", L"CNN"},
    {L"reuters", L"Reuters"},
    {L"theguardian", L"The Guardian"},
    {L"bloomberg", L"Bloomberg"},
    {L"apnews", L"Associated Press"},
};

}  // namespace

CString NewsSourceName(const CString& siteWord) {
    for (const NewsSite& site : kNewsSites)
        if (siteWord == site.siteWord) return site.sourceName;
    return CString();
}
