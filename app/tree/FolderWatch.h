// CFolderWatch: tells a window which entries appeared, went or were renamed
// in a folder or any folder below it, whoever changed them (another process
// of the program writing a clip's page, the shell deleting pages). A thread
// of its own reads the system's change records (ReadDirectoryChangesW) and
// gathers the names they give; the window is posted one message, and none
// more until it has taken what was gathered (Take), so a burst of changes
// costs the window one round of work. When the system lost count (too many
// changes at once) or the watch ended (the folder went, an error), the
// window hears that too and has to look at everything.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

class CFolderWatch {
public:
    CFolderWatch() = default;
    ~CFolderWatch() { Stop(); }
    CFolderWatch(const CFolderWatch&) = delete;
    CFolderWatch& operator=(const CFolderWatch&) = delete;

    // Watches the folder (a watch already running stops first); false when
    // the folder cannot be watched (the window then hears nothing).
    bool Start(const CString& folder, HWND window, UINT message);
    void Stop();
    // True while the watch of that folder runs: false once it ended, by
    // Stop or because its wait failed.
    bool IsWatching(const CString& folder) const { return m_running && m_folder == folder; }
    // Ends the watch when its folder is gone or another folder stands in its
    // place (the system does not always end the wait then); true while the
    // watch runs on the folder it began with.
    bool Check();

    // What the window takes when its message comes.
    struct Changes {
        // Paths relative to the watched folder ("Sub\\page.htm") of entries
        // that appeared, went, or were renamed (both names); sorted, so a
        // folder comes before the entries inside it.
        std::set<CString> names;
        // The renames among them, old and new name, in the order they came.
        std::vector<std::pair<CString, CString>> renames;
        // The names do not tell all: every folder has to be looked at.
        bool everything = false;
        // The watch has ended; it hears nothing more until started again.
        bool ended = false;
    };
    // The changes gathered since the last call; a later change posts the
    // window again.
    Changes Take();

private:
    struct PendingRead;  // the read of change records under way
    void Wait(PendingRead& read);
    // Adds the records of one read to what the window will take, and tells
    // the window unless it has been told already.
    void Gather(const BYTE* records, DWORD size);
    void Post();

    CString m_folder;
    HWND m_window = nullptr;
    UINT m_message = 0;
    HANDLE m_stop = nullptr;
    // Which folder the watch began on: volume and file number.
    BY_HANDLE_FILE_INFORMATION m_identity{};
    std::atomic<bool> m_running{false};
    bool m_abandoned = false;  // set by the thread: its read did not end when asked
    std::mutex m_lock;
    Changes m_gathered;  // guarded by m_lock
    bool m_posted = false;  // guarded by m_lock
    CString m_renamedFrom;  // the old name of a rename whose new name is still to come; guarded by m_lock
    std::thread m_thread;
};
