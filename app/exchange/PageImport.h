// Outside files brought into the page tree: one HTML file, a folder of them,
// a Netscape bookmark file. Each writes page files only inside the
// destination folder it is given and never changes its source.
#pragma once
#include "core/String.h"

class FormRecordRenames;

// The page a file becomes: folder + "\" + the file's name without its
// extension + ".htm"; empty when the name gives no title.
CString ImportTarget(const CString& source, const CString& destinationFolder);
// Writes the source as a page of the destination folder and indexes it
// (IndexImportedPage). A file that already carries a page's index marker is
// copied byte for byte; other UTF-16 or UTF-8 files (with byte-order mark)
// get their body wrapped in a DIV. A page of the target's name is never
// written over: the import takes the next free name (MakeUniquePath), and a
// page that already holds exactly the bytes of an imported page is left as
// the import. 1 when the page is there, its path in `written`; 0 after a
// message (unknown encoding, unreadable source, unwritable page, or a source
// that is the target page itself).
// With `SameNamedPage::MergeLinks` (the whole-store import, which says so) a
// page of the target's name instead gains the imported page's links that it
// lacks, keeping all its own text (MergeImportedPageLinks); the import takes
// the free name only where the imported page holds words the page lacks.
// With `renames` (the whole-store import, after its form records), the links
// that name a renumbered record are renumbered in the page as it is written,
// before it is compared with or merged into the page of its name.
enum class SameNamedPage { TakeFreeName, MergeLinks };
int ImportFile(const CString& source, const CString& destinationFolder, CString* written = nullptr,
               SameNamedPage same = SameNamedPage::TakeFreeName, const FormRecordRenames* renames = nullptr);
// Mirrors the folder below the destination (created when missing): every
// ".htm"/".html" file through ImportFile, every sub-folder the same way.
// Links to other folders are not followed. The number of pages written.
int ImportFolderInto(const CString& folder, const CString& destination, SameNamedPage same = SameNamedPage::TakeFreeName,
                     const FormRecordRenames* renames = nullptr);
// Turns a Netscape bookmark file into a link page. With `viaTemporary` the
// file first goes through the body-wrapping rewrite into a temporary file of
// the system's temporary folder (removed afterwards). A page that exists
// keeps all it holds and gains the file's links in its sections
// (MergeBookmarksIntoPage). False, with nothing written, when the file or
// the page cannot be read, and after kImportNoLinks when the file holds no link.
bool ImportBookmarkFile(const CString& file, const CString& page, bool viaTemporary);
// An imported page is indexed as a new page is: one without an index marker
// gets the indexed one, so the clip dialog offers its sections at once; a
// page that carries a marker keeps it. Its AllPages value is written either way.
void IndexImportedPage(const CString& page);
// True for ".htm" and ".html" in any case.
bool IsHtmlFileName(const CString& name);
