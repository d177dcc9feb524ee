// Walks a subtree in document order with a stack of its own, so that a tree
// built by hand through the interfaces, however deep, never exhausts the
// thread's stack. The tree must not change during the walk.
#pragma once
#include "dom/Node.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace dom {

// Calls enter(child) for every node below root (root itself excluded), in
// document order; when enter answers true the node's children follow, then
// leave(child). A node whose enter answers false gets no leave call.
template <typename Enter, typename Leave>
void WalkTree(const Node& root, Enter&& enter, Leave&& leave) {
    struct Level {
        const Node* node;
        std::size_t next;
    };
    std::vector<Level> stack;
    stack.push_back({&root, 0});
    while (!stack.empty()) {
        Level& level = stack.back();
        const NodeList& children = level.node->Children();
        if (level.next == children.size()) {
            stack.pop_back();
            if (!stack.empty()) leave(stack.back().node->Children()[stack.back().next - 1]);
            continue;
        }
        const NodePtr& child = children[level.next++];
        if (enter(child)) stack.push_back({child.get(), 0});
    }
}

template <typename Enter>
void WalkTree(const Node& root, Enter&& enter) {
    WalkTree(root, std::forward<Enter>(enter), [](const NodePtr&) {});
}

}  // namespace dom
