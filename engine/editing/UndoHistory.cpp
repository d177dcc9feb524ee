#include "editing/UndoHistory.h"

#include <algorithm>
#include <utility>

namespace editing {

UndoHistory::UndoHistory(dom::Document& document, const bool* recording) : m_document(document), m_recording(recording) {
    m_document.SetRecorder(this);
}

bool UndoHistory::Recording() {
    if (!m_recording || *m_recording || m_depth > 0) return true;
    if (!m_undo.empty() || !m_redo.empty() || m_open) Clear();
    return false;
}

UndoHistory::~UndoHistory() {
    if (m_document.Recorder() == this) m_document.SetRecorder(nullptr);
}

void UndoHistory::Begin(const Selection& before, StepKind kind) {
    if (m_depth++ > 0) return;
    Seal();
    m_open = std::make_unique<Step>();
    m_open->before = before;
    m_open->kind = kind;
    m_open->began = std::chrono::steady_clock::now();
}

namespace {

bool SamePoint(const Boundary& a, const Boundary& b) { return a.node == b.node && a.offset == b.offset; }

bool SameSelection(const Selection& a, const Selection& b) {
    return a.kind == b.kind && SamePoint(a.start, b.start) && SamePoint(a.end, b.end) && a.controls == b.controls;
}

}  // namespace

bool UndoHistory::ContinuesRun(const Step& step) const {
    return step.kind != StepKind::Other && m_runOpen && !m_undo.empty() && m_undo.back().kind == step.kind &&
           step.began - m_runLast < kRunPause && SameSelection(m_undo.back().after, step.before);
}

void UndoHistory::End(const Selection& after) {
    if (m_depth == 0 || --m_depth > 0) return;
    if (m_open) m_open->after = after;
    Seal();
}

void UndoHistory::Seal() {
    if (!m_open) return;
    std::unique_ptr<Step> step = std::move(m_open);
    const auto began = step->began;
    if (std::exchange(m_reopened, false) && m_selection) step->after = *m_selection;
    if (step->changes.empty()) return;
    Compact(*step);
    m_redo.clear();
    if (ContinuesRun(*step)) {  // one more character of the run
        Step& run = m_undo.back();
        run.changes.insert(run.changes.end(), std::make_move_iterator(step->changes.begin()),
                           std::make_move_iterator(step->changes.end()));
        run.after = step->after;
    } else {
        Push(m_undo, std::move(*step));
    }
    m_runOpen = m_undo.back().kind != StepKind::Other;
    m_runLast = began;
}

void UndoHistory::BreakRun() {
    if (m_depth == 0) Seal();
    m_runOpen = false;
}

void UndoHistory::ReopenLast() {
    if (m_depth > 0 || !m_redo.empty()) return;
    Seal();
    if (m_undo.empty()) return;
    m_open = std::make_unique<Step>(std::move(m_undo.back()));
    m_undo.pop_back();
    m_reopened = true;
    m_runOpen = false;
}

void UndoHistory::Push(std::deque<Step>& stack, Step step) {
    stack.push_back(std::move(step));
    while (stack.size() > kMaxSteps) stack.pop_front();
}

bool UndoHistory::CanUndo() const { return !m_undo.empty() || (m_open && !m_open->changes.empty() && m_depth == 0); }

UndoHistory::Step& UndoHistory::Current() {
    if (!m_open) {  // a change outside any step: the step goes from the selection now to the one at its end
        m_open = std::make_unique<Step>();
        if (m_selection) m_open->before = *m_selection;
        m_open->began = std::chrono::steady_clock::now();
        m_reopened = true;
    }
    return *m_open;
}

void UndoHistory::Record(Change change) { Current().changes.push_back(std::move(change)); }

namespace {

void FollowInsertion(Boundary& point, const dom::Node& parent, const dom::Node& child) {
    if (point.node.get() == &parent && child.IndexInParent() < point.offset) ++point.offset;
}

void FollowRemoval(Boundary& point, dom::Node& parent, int index, const dom::Node& child) {
    if (!point.node) return;
    if (child.Contains(point.node.get())) point = {parent.Self(), index};
    else if (point.node.get() == &parent && index < point.offset) --point.offset;
}

}  // namespace

void UndoHistory::Park(Parked& parked, const Boundary& point, dom::Node& parent, int index, dom::Node& child) {
    parked.node.reset();
    if (!point.node) return;
    if (child.Contains(point.node.get())) parked = {Parked::Where::Inside, child.Self(), point};
    else if (point.node.get() == &parent && point.offset == index) parked = {Parked::Where::Before, child.Self(), {}};
    else if (point.node.get() == &parent && point.offset == index + 1) parked = {Parked::Where::After, child.Self(), {}};
}

void UndoHistory::Unpark(Parked& parked, Boundary& point, dom::Node& parent, dom::Node& child) {
    // Only a move within the document: a node put into a detached element
    // (a fragment being built) leaves the point where the removal put it.
    if (parked.node.get() == &child && m_document.Contains(&parent)) {
        int index = child.IndexInParent();
        switch (parked.where) {
        case Parked::Where::Inside: point = parked.at; break;
        case Parked::Where::Before: point = {parent.Self(), index}; break;
        case Parked::Where::After: point = {parent.Self(), index + 1}; break;
        }
    }
    parked.node.reset();
}

void UndoHistory::ChildInserted(dom::Node& parent, dom::Node& child) {
    const bool recording = Recording();
    if (recording) Current();  // before the selection follows the change
    if (m_selection) {
        FollowInsertion(m_selection->start, parent, child);
        FollowInsertion(m_selection->end, parent, child);
        Unpark(m_parked[0], m_selection->start, parent, child);
        Unpark(m_parked[1], m_selection->end, parent, child);
    }
    if (!recording) return;
    Change change{Change::Kind::Inserted, parent.Self(), child.Self()};
    Record(std::move(change));
}

void UndoHistory::ChildRemoving(dom::Node& parent, int index, dom::Node& child) {
    const bool recording = Recording();
    if (recording) Current();
    if (m_selection) {
        Park(m_parked[0], m_selection->start, parent, index, child);
        Park(m_parked[1], m_selection->end, parent, index, child);
        FollowRemoval(m_selection->start, parent, index, child);
        FollowRemoval(m_selection->end, parent, index, child);
        auto& controls = m_selection->controls;
        controls.erase(std::remove_if(controls.begin(), controls.end(), [&](const dom::NodePtr& c) { return child.Contains(c.get()); }), controls.end());
    }
    if (!recording) return;
    Change change{Change::Kind::Removed, parent.Self(), child.Self()};
    change.index = index;
    Record(std::move(change));
}

void UndoHistory::AttributesChanging(dom::Node& element) {
    DropParked();
    if (!Recording()) return;
    Change change{Change::Kind::Attributes, nullptr, element.Self()};
    change.attributes.assign(element.Attributes().begin(), element.Attributes().end());
    Record(std::move(change));
}

void UndoHistory::TextChanging(dom::Node& node) {
    DropParked();
    if (!Recording()) return;
    Change change{Change::Kind::Text, nullptr, node.Self()};
    change.data = node.Data();
    Record(std::move(change));
}

void UndoHistory::Compact(Step& step) {
    auto& changes = step.changes;
    for (size_t i = 0; i < changes.size(); ++i) {
        Change& change = changes[i];
        if (change.kind != Change::Kind::Text || change.spliceAt >= 0) continue;
        // The data after this change: the next change of the same node had it as its "before".
        const CString* after = &change.node->Data();
        for (size_t j = i + 1; j < changes.size(); ++j)
            if (changes[j].kind == Change::Kind::Text && changes[j].node == change.node) {
                after = &changes[j].data;
                break;
            }
        const std::wstring& before = change.data.str();
        const std::wstring& now = after->str();
        size_t prefix = 0;
        while (prefix < before.size() && prefix < now.size() && before[prefix] == now[prefix]) ++prefix;
        size_t suffix = 0;
        while (suffix < before.size() - prefix && suffix < now.size() - prefix &&
               before[before.size() - 1 - suffix] == now[now.size() - 1 - suffix])
            ++suffix;
        change.spliceAt = static_cast<int>(prefix);
        change.insertedLength = static_cast<int>(now.size() - prefix - suffix);
        change.data = CString(before.substr(prefix, before.size() - prefix - suffix));
    }
}

UndoHistory::Step UndoHistory::Revert(Step& step) {
    m_open = std::make_unique<Step>();
    ++m_depth;  // the inverse changes are recorded in any mode
    for (auto change = step.changes.rbegin(); change != step.changes.rend(); ++change) {
        switch (change->kind) {
        case Change::Kind::Inserted:
            if (change->node->Parent() == change->parent.get()) change->parent->RemoveChild(change->node.get());
            break;
        case Change::Kind::Removed:
            change->parent->InsertChild(change->index, change->node);
            break;
        case Change::Kind::Attributes: change->node->RestoreAttributes(change->attributes); break;
        case Change::Kind::Text:
            if (change->spliceAt < 0) {
                change->node->SetData(change->data);
            } else {
                std::wstring data = change->node->Data().str();
                size_t at = std::min<size_t>(static_cast<size_t>(change->spliceAt), data.size());
                data.replace(at, static_cast<size_t>(change->insertedLength), change->data.str());
                change->node->SetData(CString(std::move(data)));
            }
            break;
        }
    }
    --m_depth;
    Step inverse = std::move(*m_open);
    Compact(inverse);
    m_open.reset();
    m_reopened = false;
    m_runOpen = false;
    inverse.before = step.after;
    inverse.after = step.before;
    return inverse;
}

bool UndoHistory::Undo(Selection& selection) {
    if (m_depth > 0) return false;  // not in the middle of a step
    if (m_open && !m_open->changes.empty()) {
        m_open->after = selection;
        Seal();
    }
    m_open.reset();
    if (m_undo.empty()) return false;
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    Step inverse = Revert(step);
    selection = inverse.after;
    Push(m_redo, std::move(inverse));
    return true;
}

bool UndoHistory::Redo(Selection& selection) {
    if (m_depth > 0 || m_redo.empty()) return false;
    m_open.reset();
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    Step inverse = Revert(step);
    selection = inverse.after;
    Push(m_undo, std::move(inverse));
    return true;
}

void UndoHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_open.reset();
    m_reopened = false;
    m_runOpen = false;
}

}  // namespace editing
