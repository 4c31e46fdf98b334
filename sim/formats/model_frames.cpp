#include "sim/formats/model_frames.h"

#include <utility>

#include "sim/formats/frame_name_rule.h"

namespace sim {

namespace {

std::string nodePlace(std::size_t node) { return "nodes[" + std::to_string(node) + "]"; }

// Every node has at most one parent, every index is in range and no node is its own ancestor;
// otherwise the first fault, as a place and a problem.
std::vector<int> parentsOf(const GltfModel& model, const std::string& fileName) {
    const std::size_t count = model.nodes.size();
    auto fail = [&](const std::string& place, const std::string& what) {
        throw ModelError(fileName + ": " + place + ": " + what);
    };
    std::vector<int> parent(count, -1);
    std::vector<int> slot(count, -1);  // the parent's children index of each node
    for (std::size_t n = 0; n < count; ++n) {
        const std::vector<int>& children = model.nodes[n].children;
        for (std::size_t k = 0; k < children.size(); ++k) {
            const std::string place = nodePlace(n) + ".children[" + std::to_string(k) + "]";
            const int child = children[k];
            if (child < 0 || static_cast<std::size_t>(child) >= count) {
                fail(place, "node " + std::to_string(child) + " is out of range (the file has " +
                                std::to_string(count) + " nodes)");
            }
            if (static_cast<std::size_t>(child) == n)
                fail(place, "node " + std::to_string(n) + " is its own child");
            if (parent[static_cast<std::size_t>(child)] >= 0) {
                fail(place, "node " + std::to_string(child) + " is already a child of " +
                                nodePlace(static_cast<std::size_t>(
                                    parent[static_cast<std::size_t>(child)])) +
                                "; a node has one parent");
            }
            parent[static_cast<std::size_t>(child)] = static_cast<int>(n);
            slot[static_cast<std::size_t>(child)] = static_cast<int>(k);
        }
    }
    // With one parent each, a node that is its own ancestor lies on a loop of parents. Each node is
    // walked up once: a walk stops at a root or at a node an earlier walk has cleared.
    enum : char { unseen, onWalk, cleared };
    std::vector<char> state(count, unseen);
    for (std::size_t start = 0; start < count; ++start) {
        std::size_t n = start;
        while (state[n] == unseen) {
            state[n] = onWalk;
            if (parent[n] < 0) break;
            n = static_cast<std::size_t>(parent[n]);
        }
        if (state[n] == onWalk && parent[n] >= 0) {
            std::string loop = nodePlace(n);
            for (std::size_t m = static_cast<std::size_t>(parent[n]); m != n;
                 m = static_cast<std::size_t>(parent[m])) {
                loop = nodePlace(m) + " > " + loop;
            }
            loop = nodePlace(n) + " > " + loop;
            fail(nodePlace(static_cast<std::size_t>(parent[n])) + ".children[" +
                     std::to_string(slot[n]) + "]",
                 "node " + std::to_string(n) + " is its own ancestor (" + loop + ")");
        }
        for (n = start; state[n] == onWalk; n = static_cast<std::size_t>(parent[n])) {
            state[n] = cleared;
            if (parent[n] < 0) break;
        }
    }
    return parent;
}

void checkName(const GltfModel& model, std::size_t node, const std::string& fileName) {
    if (const std::string fault = frameNameFault(model.nodes[node].name); !fault.empty())
        throw ModelError(fileName + ": " + nodePlace(node) + ".name: " + fault);
}

}  // namespace

std::string framePlace(const GltfModel& model, int node) {
    return node < 0 ? "scenes[" + std::to_string(model.scene) + "]"
                    : nodePlace(static_cast<std::size_t>(node));
}

ModelFrames framesOf(const GltfModel& model, const std::string& fileName,
                     const std::string& rootName) {
    const std::vector<int> parent = parentsOf(model, fileName);
    const std::string scenePlace = framePlace(model, -1);
    auto fail = [&](const std::string& place, const std::string& what) {
        throw ModelError(fileName + ": " + place + ": " + what);
    };
    if (model.roots.empty()) fail(scenePlace, "the scene has no nodes");
    std::vector<bool> isRoot(model.nodes.size(), false);
    for (std::size_t k = 0; k < model.roots.size(); ++k) {
        const std::string place = scenePlace + ".nodes[" + std::to_string(k) + "]";
        const int node = model.roots[k];
        if (node < 0 || static_cast<std::size_t>(node) >= model.nodes.size()) {
            fail(place, "node " + std::to_string(node) + " is out of range (the file has " +
                            std::to_string(model.nodes.size()) + " nodes)");
        }
        const auto n = static_cast<std::size_t>(node);
        if (parent[n] >= 0) {
            fail(place, "node " + std::to_string(node) + " is a child of " +
                            nodePlace(static_cast<std::size_t>(parent[n])) + ", not a root node");
        }
        if (isRoot[n]) fail(place, "node " + std::to_string(node) + " is listed twice");
        isRoot[n] = true;
    }

    ModelFrames frames;
    // Depth-first pre-order with a stack of its own: any number of nodes, any depth up to the
    // limit, without recursion. A frame's children are made all at once, so the pointers into them
    // stay valid while the stack holds them.
    struct Pending {
        int node;
        hostsim::FrameShape* frame;
        int depth;
    };
    std::vector<Pending> stack;
    const bool madeRoot = model.roots.size() > 1;
    if (madeRoot) {
        frames.root.name = rootName;
        frames.root.objects = 0;
        frames.frameNodes.push_back(-1);
        frames.root.children.resize(model.roots.size());
        for (std::size_t k = model.roots.size(); k-- > 0;) {
            stack.push_back({model.roots[k], &frames.root.children[k], 2});
        }
    } else {
        stack.push_back({model.roots.front(), &frames.root, 1});
    }
    while (!stack.empty()) {
        const Pending at = stack.back();
        stack.pop_back();
        const auto n = static_cast<std::size_t>(at.node);
        if (at.depth > maxModelDepth) {
            fail(nodePlace(n),
                 "the hierarchy is deeper than " + std::to_string(maxModelDepth) + " levels");
        }
        checkName(model, n, fileName);
        const ModelNode& node = model.nodes[n];
        frames.frameNodes.push_back(at.node);
        at.frame->name = node.name;
        at.frame->objects = node.hasMesh ? 1 : 0;
        at.frame->children.resize(node.children.size());
        for (std::size_t k = node.children.size(); k-- > 0;) {
            stack.push_back({node.children[k], &at.frame->children[k], at.depth + 1});
        }
    }
    return frames;
}

}  // namespace sim
