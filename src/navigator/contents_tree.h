// The table of contents (目次) as a plain tree: every displayed law, its
// chapter hierarchy (章, 節, 款, 目) and its articles, built from the statute
// database in one pass at start-up. The tree widget only mirrors this model:
// one widget item per node, in the order of each node's children, with the
// node's text and state image.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "database/connection.h"
#include "database/message_sink.h"

namespace tavrel::nav {

// The state images of the tree: one strip of 17 pictures, 24 x 16 pixels,
// white transparent. Index 0 shows no picture.
enum TreeImage : int {
    TreeImageNone = 0,
    TreeImageClosedBook = 1,    // law and chapter-level node, collapsed (initial)
    TreeImageOpenBook = 2,      // law and chapter-level node, expanded
    TreeImageSplitPiece = 3,    // one piece of a split article (small page, dotted leader)
    TreeImageTable = 4,         // appended table 別表 (page with a grid)
    TreeImagePage = 5,          // article, 附則, 明治/大正 notifications, "不明" (page with lines)
    TreeImageShowa = 6,         // 昭和 notification (red "S")
    TreeImageHeisei = 7,        // 平成 notification, years other than 19 and 20 ("H")
    TreeImageHeisei19 = 8,      // 平成 19 ("H" with "19")
    TreeImageHeisei20 = 9,      // 平成 20 ("H" with "20")
    TreeImageHeisei12 = 10,     // 10-16: "H" with "12" ... "18", in the strip but not used
    TreeImageCount = 17,
};

// A node handle: index into TreeModel::nodes(). kNoNode for none (the root).
using TreeItem = int;
inline constexpr TreeItem kNoNode = -1;

struct TreeNode {
    std::string text;  // CP932
    int image = TreeImageNone;
    TreeItem parent = kNoNode;
    std::vector<TreeItem> children;  // in insertion order
};

class TreeModel {
public:
    // Builds the whole tree (ContentsTreeView::fill): laws, the four division
    // passes, the articles. True on success; false after a reported failure
    // (an empty law table leaves the tree empty; a database error keeps the
    // nodes added so far).
    bool fill(db::Connection& connection, MessageSink& sink);

    // Deletes every node and empties both maps.
    void clear();

    const std::vector<TreeNode>& nodes() const { return nodes_; }
    const std::vector<TreeItem>& roots() const { return roots_; }
    const TreeNode& node(TreeItem item) const { return nodes_.at(static_cast<size_t>(item)); }
    size_t size() const { return nodes_.size(); }

    // The identifier of a node (ID_HN, ID_SN or ID_FN), empty for a node
    // outside the maps (the grouping node of a split article) or no node.
    std::string itemId(TreeItem item) const;
    // The node whose identifier equals id exactly, or kNoNode.
    TreeItem findItem(const std::string& id) const;

    // Expansion: the state image of a law or chapter-level node after it was
    // expanded (2) or collapsed (back to 1, only from 2). Other nodes keep
    // their image. Returns the new image and stores it.
    int setExpanded(TreeItem item, bool expanded);

    const std::map<std::string, TreeItem>& itemById() const { return itemById_; }
    const std::map<TreeItem, std::string>& idByItem() const { return idByItem_; }

    // Adds a node after the last child of parent (kNoNode: a root node).
    TreeItem addNode(TreeItem parent, std::string text, int image);
    // Enters (id, item) in both maps.
    void enter(const std::string& id, TreeItem item);

private:
    std::vector<TreeNode> nodes_;
    std::vector<TreeItem> roots_;
    std::map<std::string, TreeItem> itemById_;
    std::map<TreeItem, std::string> idByItem_;
};

// The caption of an article node: "なし" becomes empty, a caption longer than
// 150 bytes keeps its first 150 bytes (149 when byte 150 would split a
// double-byte character) followed by " ... ".
std::string treeCaption(const std::string& caption);

// The tree's state image of a page, from its designation.
int treeImageOf(const std::string& idFN);

}  // namespace tavrel::nav
