#include "plugin/HostWindows.h"

#include <map>
#include <memory>
#include <mutex>

#include "plugin/native/HostWindowTree.h"

namespace {

struct Node {
    void* parent;
    std::string title;
    bool readable;
};

struct Tree {
    std::mutex mutex;
    std::map<void*, std::unique_ptr<Node>> nodes;
    std::vector<HostWindowTree::PostedCommand> posted;
};

Tree& TheTree()
{
    static Tree tree;
    return tree;
}

}  // namespace

void* HostWindowTree::Add(void* parent, const std::string& title, bool readable)
{
    Tree& tree = TheTree();
    std::lock_guard<std::mutex> hold(tree.mutex);
    std::unique_ptr<Node> node(new Node{parent, title, readable});
    void* handle = node.get();
    tree.nodes[handle] = std::move(node);
    return handle;
}

void HostWindowTree::Clear()
{
    Tree& tree = TheTree();
    std::lock_guard<std::mutex> hold(tree.mutex);
    tree.nodes.clear();
    tree.posted.clear();
}

std::vector<HostWindowTree::PostedCommand> HostWindowTree::TakePosted()
{
    Tree& tree = TheTree();
    std::lock_guard<std::mutex> hold(tree.mutex);
    std::vector<PostedCommand> taken;
    taken.swap(tree.posted);
    return taken;
}

namespace HostWindows {

bool IsWindow(void* window)
{
    Tree& tree = TheTree();
    std::lock_guard<std::mutex> hold(tree.mutex);
    return window && tree.nodes.count(window) != 0;
}

void* ParentOf(void* window)
{
    Tree& tree = TheTree();
    std::lock_guard<std::mutex> hold(tree.mutex);
    auto found = tree.nodes.find(window);
    return found == tree.nodes.end() ? nullptr : found->second->parent;
}

bool ReadTitle(void* window, std::string& title)
{
    title.clear();
    Tree& tree = TheTree();
    std::lock_guard<std::mutex> hold(tree.mutex);
    auto found = tree.nodes.find(window);
    if (found == tree.nodes.end() || !found->second->readable) return false;
    title = found->second->title;
    return !title.empty();
}

bool PostCommand(void* window, int command)
{
    Tree& tree = TheTree();
    std::lock_guard<std::mutex> hold(tree.mutex);
    if (!window || tree.nodes.count(window) == 0) return false;
    tree.posted.push_back(HostWindowTree::PostedCommand{window, command});
    return true;
}

}  // namespace HostWindows
