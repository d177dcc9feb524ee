// Search marking benchmark: 4,000 hits marked in a page of about 360,000
// characters and the marks cleared again, in a windowless engine document as
// the page view holds it (goal: well under a second each). The page must come
// back exactly as it was.
//
//   WINEPREFIX=$PWD/build/wineprefix wine build/bench/search/mark_bench.exe
#include "page/SearchMarks.h"

#include "com/ComQuery.h"
#include "com/HtmlDocument.h"

#include <windows.h>

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// 2,000 paragraphs of about 180 characters of text, two hits each: one in plain text,
// every tenth of the others across a bold word's end.
CString MakePage() {
    CString page = L"<html><head><title>Marks</title></head><body>";
    for (int i = 0; i < 2000; ++i) {
        CString paragraph;
        if (i % 10 == 0)
            paragraph.Format(L"<P>Paragraph %04d holds a needle among other words of a long and plain line, and "
                             L"<B>one more nee</B>dle near its end, with a few more words after it to fill it, and then a last clause.</P>",
                             i);
        else
            paragraph.Format(L"<P>Paragraph %04d holds a needle among other words of a long and plain line, and "
                             L"<B>one</B> more needle near its end, with a few more words after it to fill it, and then a last clause.</P>",
                             i);
        page += paragraph;
    }
    return page + L"</body></html>";
}

}  // namespace

int main() {
    OleInitialize(nullptr);
    {
        ComPtr<IDispatch> dispatch;
        if (FAILED(CreateHtmlDocument(IID_IDispatch, dispatch.ReceiveVoid()))) return 1;
        bcHtmlDocument document;
        document.Attach(dispatch.Get());
        if (!document.LoadHtml(MakePage())) return 1;
        document.SetDesignMode(true);
        bcHtmlElement body = GetCollectionItem(document.GetElementsByTagName(L"BODY").Get(), 0);
        const CString before = body.GetInnerHtml();
        std::printf("page: %d characters of text, %d of HTML\n", body.GetInnerText().GetLength(), before.GetLength());

        auto start = Clock::now();
        int marked = MarkOccurrences(document, {L"needle"}, 0, kSearchMarkStyle, kSearchMarkId);
        double markSeconds = Seconds(start);
        start = Clock::now();
        int cleared = ClearMarks(document, kSearchMarkId);
        double clearSeconds = Seconds(start);

        std::printf("mark %d hits: %.3f s (goal: well under 1 s)\n", marked, markSeconds);
        std::printf("clear %d marks: %.3f s (goal: well under 1 s)\n", cleared, clearSeconds);
        bool same = body.GetInnerHtml() == before;
        std::printf("page as it was after clearing: %s\n", same ? "yes" : "NO");
        if (marked != 4000 || cleared != marked || !same) return 1;
    }
    OleUninitialize();
    return 0;
}
