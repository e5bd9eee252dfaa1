#include "navigator/list_rows.h"

#include "database/report.h"
#include "database/sql_texts.h"
#include "navigator/designation.h"
#include "text/sjis.h"

namespace tavrel::nav {

namespace {

constexpr const char* kComboOperation = "TComboLst::_init()";
constexpr const char* kListOperation = "TListLst::_show()";

template <typename Fn>
bool reportingFailures(MessageSink& sink, const std::string& purpose, const char* operation, Fn&& body) {
    try {
        return body();
    } catch (const db::DbError& e) {
        db::report(sink, purpose, operation, db::errorObjectBody(e.error(), db::ReportIndent::Indented),
                   db::ReportIndent::Indented);
    } catch (...) {
        db::report(sink, purpose, operation, db::unexpectedExceptionBody(), db::ReportIndent::Indented);
    }
    return false;
}

int listImageOf(const Designation& d) {
    switch (d.kind) {
        case DesignationKind::AppendedTable: return ListImageTable;
        case DesignationKind::Notification:
            if (d.era == 3) return ListImageShowa;
            if (d.era == 4) return heiseiListImage(d.year);
            return ListImagePage;
        default: return ListImagePage;
    }
}

// The images of 平成 12 ... 20, in year order.
constexpr int kHeiseiImages[] = {10, 12, 14, 20, 22, 24, 26, 28, 30};

bool isHeiseiYearImage(int image) {
    for (int i : kHeiseiImages) {
        if (i == image) return true;
    }
    return false;
}

}  // namespace

// ---- Law selector ----

void LawSelectorModel::clear() {
    entries_.clear();
    lawByIndex_.clear();
    indexByLaw_.clear();
}

bool LawSelectorModel::fill(db::Connection& connection, MessageSink& sink) {
    clear();
    return reportingFailures(sink, SJ("コンボボックスの初期化"), kComboOperation, [&] {
        db::Recordset laws = connection.execute(db::sql::lawsShown(), nullptr, -1);
        while (!laws.isEOF()) {
            const std::string id = laws.text("ID_HN");
            std::string name = laws.text(SJ("法名一般"));
            laws.moveNext();
            if (id.empty() || id.back() != 'A') name = SJ("　　") + name;
            const int index = static_cast<int>(entries_.size());
            entries_.push_back(LawEntry{std::move(name), id});
            lawByIndex_.emplace(index, id);
            indexByLaw_.emplace(id, index);
        }
        return true;
    });
}

std::string LawSelectorModel::idAt(int index) const {
    const auto it = lawByIndex_.find(index);
    return it == lawByIndex_.end() ? std::string() : it->second;
}

int LawSelectorModel::findIndex(const std::string& idHN) const {
    const auto it = indexByLaw_.find(idHN);
    return it == indexByLaw_.end() ? -1 : it->second;
}

// ---- Columns and images ----

std::vector<std::string> columnHeaders(unsigned columnSet) {
    std::vector<std::string> headers;
    if (columnSet & ColumnLaw) headers.push_back(SJ("法名"));
    if (columnSet & ColumnArticle) headers.push_back(SJ("条"));
    if (columnSet & ColumnTitle) headers.push_back(SJ("タイトル"));
    if (columnSet & ColumnUntitled) headers.emplace_back();
    return headers;
}

int columnIndex(unsigned columnSet, ListColumn column) {
    if (!(columnSet & column)) return -1;
    int index = 0;
    for (unsigned bit = 1; bit < static_cast<unsigned>(column); bit <<= 1) {
        if (columnSet & bit) ++index;
    }
    return index;
}

int heiseiListImage(int year) {
    if (year >= 12 && year <= 20) return kHeiseiImages[year - 12];
    return ListImageHeisei;
}

// ---- Rows ----

void ListRows::clearRows() {
    rows_.clear();
    idByRow_.clear();
    rowById_.clear();
}

int ListRows::addRow(const ListRow& row) {
    const int index = static_cast<int>(rows_.size());
    rows_.push_back(row);
    idByRow_.emplace(index, row.id);
    // The same identifier twice (a bookmark list may hold it) finds its
    // first row.
    rowById_.emplace(row.id, index);
    return index;
}

int ListRows::findRow(const std::string& id) const {
    const auto it = rowById_.find(id);
    return it == rowById_.end() ? -1 : it->second;
}

std::string ListRows::idAt(int row) const {
    const auto it = idByRow_.find(row);
    return it == idByRow_.end() ? std::string() : it->second;
}

// ---- Article list ----

bool ArticleListModel::fill(db::Connection& connection, MessageSink& sink, const std::string& idHN) {
    clearRows();
    firstHeader_ = (!idHN.empty() && idHN.back() == 'K') ? SJ("告示番号") : SJ("条");
    const auto sql = db::sql::pagesOfLaw(idHN);
    if (!sql) return false;

    return reportingFailures(sink, SJ("リストの生成"), kListOperation, [&] {
        db::Recordset rows = connection.execute(*sql, nullptr, -1);
        while (!rows.isEOF()) {
            const std::string idFN = rows.text("ID_FN");
            const std::string caption = rows.text(SJ("条名"));
            const std::string supplement = rows.text(SJ("補足"));
            const int split = rows.int16(SJ("分割"));
            rows.moveNext();

            const Designation d = pageDesignation(idFN, caption);
            ListRow row;
            row.id = idFN;
            row.image = listImageOf(d);
            std::string& article = row.columns[1];
            std::string& title = row.columns[2];
            if (split < 1) {
                article = d.text;
                if (caption != SJ("なし") && d.kind != DesignationKind::Supplementary) title = caption;
            } else {
                const int piece = pieceNumber(idFN);
                article = d.text + SJ("　") + text::format("%02d", piece + 1);
                title = piece == 0 ? caption : SJ(" ・ ") + supplement;
                if (title == SJ("なし")) title.clear();
                if (piece == 0) {
                    if (isHeiseiYearImage(row.image)) row.image += 1;
                } else {
                    row.image = piece == split - 1 ? ListImageSplitLast : ListImageSplitLater;
                }
            }
            addRow(row);
        }
        return true;
    });
}

// ---- Cell text ----

std::string fitCellText(const std::string& s, int available, const TextWidth& width, int margin) {
    if (s.empty() || width(s) + margin <= available) return s;
    static const std::string dots = "...";
    const int dotsWidth = width(dots);

    // Character boundaries of s, shortest prefix first (one whole character
    // at least). Prefix widths grow with their length, so the longest prefix
    // that fits is found by bisection.
    std::vector<size_t> ends;
    for (size_t pos = 0; pos < s.size();) {
        pos += text::charLength(s, pos);
        ends.push_back(pos);
    }
    ends.pop_back();  // the whole text does not fit
    auto fits = [&](size_t n) { return width(std::string_view(s).substr(0, n)) + margin + dotsWidth <= available; };
    size_t lo = 0, hi = ends.size();  // answer: number of fitting prefixes among ends[0, hi)
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (fits(ends[mid])) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    if (lo == 0) return {};
    return s.substr(0, ends[lo - 1]) + dots;
}

}  // namespace tavrel::nav
