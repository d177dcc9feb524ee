// The editor's undo and redo: every change of the tree is recorded as it
// happens, with what it replaced, and a step of changes is taken back by
// doing the inverse changes from the last to the first. The inverse changes
// are recorded in turn and make the redo step, so undo and redo both bring
// back the tree exactly as it was (its serialization byte for byte).
//
// Changes made within Begin/End form one step (a key, a command, a paste).
// Changes made outside one (the document layer's own edits through the
// interfaces) gather in an open step that the next Begin or Undo closes.
// Typed characters make one step per run, as do Backspace and Delete: a
// step of a run joins the one before it when that was of the same run, the
// caret has not moved in between and less than kRunPause has passed.
#pragma once
#include "dom/Document.h"
#include "editing/Selection.h"

#include <chrono>
#include <deque>
#include <memory>
#include <vector>

namespace editing {

// What a step does, for the runs of typing and deleting.
enum class StepKind { Other, Typing, Deleting };

class UndoHistory : private dom::ChangeRecorder {
public:
    static constexpr size_t kMaxSteps = 4096;
    static constexpr std::chrono::milliseconds kRunPause{1000};

    // While *recording is false (a page in browse mode) nothing is recorded,
    // and a change clears the history: its steps would no longer fit the tree.
    explicit UndoHistory(dom::Document& document, const bool* recording = nullptr);
    // The selection to keep in step with the tree: a point inside a removed
    // node moves to where the node was; points between children follow
    // insertions and removals before them. A node moved (taken out and put
    // in again at once, as appendChild and insertBefore of a node in the
    // tree do) within the document takes along a point inside it or right
    // before or after it, so a host that moves the caret's text into a new
    // element keeps the caret where it was.
    void KeepInStep(Selection* selection) { m_selection = selection; }
    ~UndoHistory() override;
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Opens a step (nested calls join the outer one); the selection is put
    // back as it was here when the step is undone.
    void Begin(const Selection& before, StepKind kind = StepKind::Other);
    void End(const Selection& after);
    // The next step starts a run of its own (the caret moved, a command ran).
    // The changes made outside Begin/End so far (a host's edits through the
    // interfaces) become a step of their own there, so that edits made
    // before and after a click are never taken back together.
    void BreakRun();
    // Closes the open step of changes made outside Begin/End.
    void Seal();
    // Opens the last step again: the changes made outside Begin/End from
    // here on join it, so that one undo takes back the step and what a host
    // did right after it (a fix-up after a key). Nothing happens in the
    // middle of a step or when there is something to redo.
    void ReopenLast();

    bool CanUndo() const;
    bool CanRedo() const { return !m_redo.empty(); }
    // Takes back the last step; answers false when there is none. The
    // selection becomes what it was before the step (after it, for redo).
    bool Undo(Selection& selection);
    bool Redo(Selection& selection);
    void Clear();
    size_t UndoCount() const { return m_undo.size(); }

private:
    struct Change {
        enum class Kind { Inserted, Removed, Attributes, Text } kind;
        dom::NodePtr parent;  // Inserted, Removed
        dom::NodePtr node;
        int index = 0;                         // Removed: where the child was
        std::vector<dom::Attribute> attributes;  // Attributes: the list before
        CString data;                          // Text: the data before, or only the part replaced
        int spliceAt = -1;                     // Text: where `data` was replaced (-1: data is all of it)
        int insertedLength = 0;                // Text: the units that replaced it
    };
    struct Step {
        std::vector<Change> changes;
        Selection before;
        Selection after;
        StepKind kind = StepKind::Other;
        std::chrono::steady_clock::time_point began;
    };
    // Whether the step goes on the run that the last step of the undo stack began.
    bool ContinuesRun(const Step& step) const;

    // A selection point that the last removal took out of (or from beside)
    // the removed node, to go back with it if it is inserted next.
    struct Parked {
        enum class Where { Inside, Before, After } where = Where::Inside;
        dom::NodePtr node;  // the removed node; null when nothing is parked
        Boundary at;        // Inside: the point as it was
    };
    static void Park(Parked& parked, const Boundary& point, dom::Node& parent, int index, dom::Node& child);
    void Unpark(Parked& parked, Boundary& point, dom::Node& parent, dom::Node& child);
    void DropParked() { m_parked[0].node.reset(), m_parked[1].node.reset(); }

    void ChildInserted(dom::Node& parent, dom::Node& child) override;
    void ChildRemoving(dom::Node& parent, int index, dom::Node& child) override;
    void AttributesChanging(dom::Node& element) override;
    void TextChanging(dom::Node& node) override;
    void ContentReplaced() override { DropParked(), Clear(); }

    Step& Current();
    // Keeps of each text change only the part that changed, so typing in a
    // long text does not keep a copy of all of it per key.
    static void Compact(Step& step);
    void Record(Change change);
    // Runs the step's inverse changes; the changes they make form the step answered.
    Step Revert(Step& step);
    void Push(std::deque<Step>& stack, Step step);

    bool Recording();

    dom::Document& m_document;
    const bool* m_recording;
    Selection* m_selection = nullptr;
    Parked m_parked[2];  // the selection's start and end
    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    std::unique_ptr<Step> m_open;  // being recorded
    int m_depth = 0;               // Begin calls not yet ended
    bool m_reopened = false;       // m_open is a reopened step or one of changes outside steps: it ends where the selection then is
    bool m_runOpen = false;        // the last step of the undo stack may take the next of its run
    std::chrono::steady_clock::time_point m_runLast;  // when the run's last step began
};

}  // namespace editing
