// Keeping what another program wrote into a page while the editor had it
// open. A clip process writes its link straight into the page file; the
// running program learns of it only when it saves the page again, and then
// puts the clip's links into its own text instead of writing over them.
#pragma once
#include "core/String.h"

struct OtherWriterMerge {
    // True when all the other program did to the page, compared with the
    // text the editor loaded, is add links (and the sections they made):
    // the merged text then loses nothing of its change.
    bool linksOnly = false;
    // The editor's page text with every link that the file holds and neither
    // the loaded text nor the editor's text holds put into the section it
    // stands in on disk, by the link insertion that put it there, as it
    // stands on disk (address, picture and text).
    CString merged;
    int linksAdded = 0;
};

// `loaded`: the page as the editor read it (or last wrote it); `onDisk`: the
// page file now; `edited`: the editor's page text, cleaned for writing.
OtherWriterMerge MergeOtherWriterLinks(const CString& loaded, const CString& onDisk, const CString& edited);

struct ImportedPageMerge {
    // True when every word of the imported page outside its links (index
    // tags included, in order) stands in the current page too, so that the
    // merged page loses nothing of either; the tags of the sections that
    // receive new links do not count, since the merge makes them. False as
    // well when the imported page holds a picture or a table outside its
    // links that the current page lacks: a merge of links would drop it.
    bool keepsBoth = false;
    // The current page's text with every link of the imported page that it
    // does not hold put into the section it stands in there, as it stands
    // there.
    CString merged;
    int linksAdded = 0;
};

// A page brought in under the name of a page the store holds already.
ImportedPageMerge MergeImportedPageLinks(const CString& current, const CString& imported);
