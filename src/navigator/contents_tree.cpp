#include "navigator/contents_tree.h"

#include <functional>
#include <optional>

#include "database/identifiers.h"
#include "database/report.h"
#include "database/sql_texts.h"
#include "document/numbering.h"
#include "navigator/designation.h"
#include "text/sjis.h"

namespace tavrel::nav {

namespace {

constexpr const char* kOperation = "TTreeCtrl::_show()";
constexpr size_t kCaptionLimit = 150;
constexpr size_t kArticlePrefixLength = 12;

const std::string& purpose() { return SJ("ツリーの生成"); }

struct DivisionPass {
    std::optional<std::string> (*statement)(std::string_view idHn);
    const char* nameFieldUtf8;
    int level;
    size_t parentPrefix;  // 0: the law is the parent
    const char* parentSuffix;
};

// The four division passes, from the chapter down to the 目.
const DivisionPass kPasses[] = {
    {&db::sql::chapters, "章名", numbering::ChapterLevel, 0, ""},
    {&db::sql::sections, "節名", numbering::SectionLevel, 8, "-0000-0000-0000"},
    {&db::sql::subsections, "款名", numbering::SubsectionLevel, 13, "-0000-0000"},
    {&db::sql::divisions, "目名", numbering::DivisionOnlyLevel, 18, "-0000"},
};

// Text of a chapter-level node: "<number>　<name>", or the name alone for a
// notification division or when the number cannot be formed.
std::string divisionText(const db::Recordset& row, const std::string& nameField, int level) {
    const std::string idSN = row.text("ID_SN");
    const std::string name = row.text(nameField);
    const bool notification = row.int16(SJ("告示")) != 0;
    if (!notification) {
        if (const auto label = numbering::divisionLabel(idSN, level)) return *label + SJ("　") + name;
    }
    return name;
}

}  // namespace

std::string treeCaption(const std::string& caption) {
    if (caption == SJ("なし")) return {};
    if (caption.size() > kCaptionLimit) return text::safeCut(caption, kCaptionLimit) + " ... ";
    return caption;
}

int treeImageOf(const std::string& idFN) {
    const Designation d = pageDesignation(idFN);
    switch (d.kind) {
        case DesignationKind::AppendedTable: return TreeImageTable;
        case DesignationKind::Notification:
            if (d.era == 3) return TreeImageShowa;
            if (d.era == 4) {
                if (d.year == 19) return TreeImageHeisei19;
                if (d.year == 20) return TreeImageHeisei20;
                return TreeImageHeisei;
            }
            return TreeImagePage;
        default: return TreeImagePage;
    }
}

void TreeModel::clear() {
    nodes_.clear();
    roots_.clear();
    itemById_.clear();
    idByItem_.clear();
}

TreeItem TreeModel::addNode(TreeItem parent, std::string text, int image) {
    const auto item = static_cast<TreeItem>(nodes_.size());
    if (parent != kNoNode && (parent < 0 || static_cast<size_t>(parent) >= nodes_.size())) parent = kNoNode;
    nodes_.push_back(TreeNode{std::move(text), image, parent, {}});
    if (parent == kNoNode) {
        roots_.push_back(item);
    } else {
        nodes_[static_cast<size_t>(parent)].children.push_back(item);
    }
    return item;
}

void TreeModel::enter(const std::string& id, TreeItem item) {
    // A duplicate identifier keeps the first node in the lookup by
    // identifier; each node still knows its own identifier.
    itemById_.emplace(id, item);
    idByItem_.insert_or_assign(item, id);
}

std::string TreeModel::itemId(TreeItem item) const {
    const auto it = idByItem_.find(item);
    return it == idByItem_.end() ? std::string() : it->second;
}

TreeItem TreeModel::findItem(const std::string& id) const {
    const auto it = itemById_.find(id);
    return it == itemById_.end() ? kNoNode : it->second;
}

int TreeModel::setExpanded(TreeItem item, bool expanded) {
    if (item < 0 || static_cast<size_t>(item) >= nodes_.size()) return TreeImageNone;
    TreeNode& n = nodes_[static_cast<size_t>(item)];
    const std::string id = itemId(item);
    if (!id.empty() && id.size() != db::kIdFNLength) {
        if (expanded) {
            n.image = TreeImageOpenBook;
        } else if (n.image == TreeImageOpenBook) {
            n.image = TreeImageClosedBook;
        }
    }
    return n.image;
}

bool TreeModel::fill(db::Connection& connection, MessageSink& sink) {
    clear();
    try {
        // Laws.
        {
            db::Recordset laws = connection.execute(db::sql::lawsShown(), nullptr, -1);
            if (laws.isEOF()) {
                db::report(sink, purpose(), kOperation,
                           SJ("テーブル(T_法)にレコードセットを見つけることが\nできませんでした。\n\n"),
                           db::ReportIndent::Plain);
                return false;
            }
            while (!laws.isEOF()) {
                const std::string id = laws.text("ID_HN");
                enter(id, addNode(kNoNode, laws.text(SJ("法名一般")), TreeImageClosedBook));
                laws.moveNext();
            }
        }

        // Chapter levels: each pass walks all laws before the next begins.
        for (const DivisionPass& pass : kPasses) {
            const std::string nameField = text::fromUtf8(pass.nameFieldUtf8);
            db::Recordset laws = connection.execute(db::sql::lawsShown(), nullptr, -1);
            while (!laws.isEOF()) {
                const std::string idHN = laws.text("ID_HN");
                laws.moveNext();
                const auto sql = pass.statement(idHN);
                if (!sql) continue;  // not an identifier: nothing of it can be formatted into SQL
                db::Recordset rows = connection.execute(*sql, nullptr, -1);
                while (!rows.isEOF()) {
                    const std::string idSN = rows.text("ID_SN");
                    TreeItem parent;
                    if (pass.parentPrefix == 0) {
                        parent = findItem(idHN);
                    } else {
                        parent = findItem(idSN.substr(0, pass.parentPrefix) + pass.parentSuffix);
                    }
                    enter(idSN, addNode(parent, divisionText(rows, nameField, pass.level), TreeImageClosedBook));
                    rows.moveNext();
                }
            }
        }

        // Articles, all laws together.
        db::Recordset rows = connection.execute(db::sql::pagesShown(), nullptr, -1);
        TreeItem group = kNoNode;
        std::string groupArticle;  // first 12 characters of the group's pieces
        while (!rows.isEOF()) {
            const std::string idSN = rows.text("ID_SN");
            TreeItem parent = findItem(idSN);
            if (parent == kNoNode) parent = findItem(idSN.substr(0, std::min<size_t>(idSN.size(), 3)));
            if (parent == kNoNode) {
                rows.moveNext();
                continue;
            }
            const std::string idFN = rows.text("ID_FN");
            const int split = rows.int16(SJ("分割"));
            std::string caption = rows.text(SJ("条名"));
            const std::string supplement = rows.text(SJ("補足"));
            rows.moveNext();

            const Designation d = pageDesignation(idFN, caption);
            const int image = treeImageOf(idFN);
            if (!isUnknownDesignation(d.text)) caption = treeCaption(caption);
            if (d.kind == DesignationKind::Supplementary) caption.clear();

            if (split < 1) {
                enter(idFN, addNode(parent, d.text + SJ("　") + caption, image));
                continue;
            }
            const int piece = pieceNumber(idFN);
            const std::string article = idFN.substr(0, std::min(idFN.size(), kArticlePrefixLength));
            // A piece belongs to the grouping node of its own article; a
            // piece whose first piece is not shown starts its own group.
            if (piece == 0 || group == kNoNode || article != groupArticle ||
                node(group).parent != parent) {
                group = addNode(parent, d.text + SJ("　") + caption, image);
                groupArticle = article;
            }
            enter(idFN, addNode(group, d.text + text::format(" (%02d)", piece + 1) + SJ("　") + supplement,
                                TreeImageSplitPiece));
        }
        return true;
    } catch (const db::DbError& e) {
        db::report(sink, purpose(), kOperation, db::errorObjectBody(e.error(), db::ReportIndent::Plain),
                   db::ReportIndent::Plain);
    } catch (...) {
        db::report(sink, purpose(), kOperation, db::unexpectedExceptionBody(), db::ReportIndent::Plain);
    }
    return false;
}

}  // namespace tavrel::nav
