#include "document/navigation.h"

#include <algorithm>

#include "document/numbering.h"
#include "text/sjis.h"

namespace tavrel {

namespace {

constexpr size_t kPageIdLength = 15;
constexpr size_t kLawIdLength = 3;

bool isPageId(const std::string& id) { return id.size() == kPageIdLength; }

bool isSpecialPage(const std::string& id) {
    const auto kind = numbering::pageKind(id);
    return kind && *kind == numbering::SpecialPage;
}

}  // namespace

const std::vector<CommandInfo>& documentCommands() {
    static const std::vector<CommandInfo> commands = {
        {cmd::Back, SJ("戻る"), SJ("一つ戻ります。（Ctrl+Left）")},
        {cmd::Forward, SJ("進む"), SJ("一つ進みます。（Ctrl+Right）")},
        {cmd::Previous, SJ("前へ"), SJ("一つ前の条文へ移動します。（Up Key）")},
        {cmd::Next, SJ("次へ"), SJ("次の条文へ移動します。（Down Key）")},
        {cmd::Synchro, SJ("同期"), SJ("目次又はリストと同期します。")},
        {cmd::Refer, SJ("参照"), SJ("参照リンクを表示します。")},
        {cmd::Brachet, SJ("括弧"), SJ("括弧で括られた文字列を色分けします。")},
        {cmd::PinPoint, SJ("狙撃"), SJ("ピンポイントジャンプを作動します。")},
        {cmd::printPage, SJ("印刷"), SJ("印刷します。")},
        {cmd::PrintPreview, SJ("印刷プレビュー(&V)"), SJ("印刷プレビューを表示します。")},
        {cmd::Search, SJ("検索"), std::string()},
        {cmd::Options, SJ("オプション設定(&O)"), SJ("フォントや背景色の変更を行います。")},
        {cmd::CitedBy, SJ("被引用"), SJ("この条文を引用している規定を条文の後に表示します。")},
    };
    return commands;
}

const CommandInfo* findDocumentCommand(int id) {
    for (const auto& c : documentCommands()) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

std::string pageCaptionText(const Document& doc, const std::string& idFN) {
    std::string blank;
    for (int i = 0; i < 10; ++i) blank += SJ("　");

    const auto kind = numbering::pageKind(idFN);
    if (!kind) return blank;
    const std::string law = doc.lawName(idFN.substr(0, std::min(idFN.size(), kLawIdLength)), 1);

    switch (*kind) {
        case numbering::Supplementary: {
            ArticleInfo info;
            return law + " " + numbering::supplementaryName(doc.articleInfo(idFN, info) ? info.caption : std::string());
        }
        case numbering::Notification: {
            const auto number = numbering::notificationNumberText(idFN, false);
            if (!number) return blank;
            std::string caption = law + " " + *number;
            ArticleInfo info;
            if (doc.articleInfo(idFN, info)) caption += " " + info.caption;
            int count = 0, page = 0;
            if (doc.splitPage(idFN, count, page)) caption += " " + text::format("(P.%02d/%02d)", page, count);
            return caption;
        }
        case numbering::AppendedTable: {
            const auto label = numbering::appendedTableLabel(idFN);
            return label ? *label : blank;
        }
        case numbering::Article: {
            const auto label = numbering::articleLabel(idFN);
            return label ? law + " " + *label : blank;
        }
        case numbering::SpecialPage:
            break;
    }
    return blank;
}

DocumentNavigation::DocumentNavigation(Document& doc) : doc_(doc) {}

std::string DocumentNavigation::shownId() const { return view_ ? view_->currentPageId() : std::string(); }

std::optional<size_t> DocumentNavigation::sequenceIndex(const std::string& idFN) const {
    const auto& seq = doc_.articleSequence();
    // The sequence is loaded in ID_FN order; the linear scan below only runs
    // for identifiers it does not hold (or for a sequence out of order).
    const auto it = std::lower_bound(seq.begin(), seq.end(), idFN,
                                     [](const ArticleSeqEntry& e, const std::string& id) { return e.idFN < id; });
    if (it != seq.end() && it->idFN == idFN) return static_cast<size_t>(it - seq.begin());
    const auto lin = std::find_if(seq.begin(), seq.end(), [&](const ArticleSeqEntry& e) { return e.idFN == idFN; });
    if (lin != seq.end()) return static_cast<size_t>(lin - seq.begin());
    return std::nullopt;
}

std::optional<HistoryEntry> DocumentNavigation::readingPosition(const std::string& idFN) const {
    const auto i = sequenceIndex(idFN);
    if (!i) return std::nullopt;
    const auto& e = doc_.articleSequence()[*i];
    return HistoryEntry{e.idFN, e.slot1, e.slot2};
}

std::optional<HistoryEntry> DocumentNavigation::previousTarget(const std::string& id) const {
    const auto i = sequenceIndex(id);
    if (!i || *i == 0) return std::nullopt;
    const auto& e = doc_.articleSequence()[*i - 1];
    return HistoryEntry{e.idFN, e.slot1, e.slot2};
}

std::optional<HistoryEntry> DocumentNavigation::nextTarget(const std::string& id) const {
    const auto i = sequenceIndex(id);
    const auto& seq = doc_.articleSequence();
    if (!i || *i + 1 >= seq.size()) return std::nullopt;
    const auto& e = seq[*i + 1];
    return HistoryEntry{e.idFN, e.slot1, e.slot2};
}

void DocumentNavigation::dropMissingPages() {
    const auto gone = [this](const HistoryEntry& e) { return doc_.articleTable().count(e.idFN) == 0; };
    std::erase_if(back_, gone);
    std::erase_if(forward_, gone);
}

void DocumentNavigation::recordVisit(const HistoryEntry& e) {
    if (!isPageId(e.idFN)) return;
    if (const auto i = sequenceIndex(e.idFN)) {
        auto& slot = doc_.articleSequence()[*i];
        slot.slot1 = e.x;
        slot.slot2 = e.y;
    }
    if (goingBack_) {
        goingBack_ = false;
        forward_.push_back(e);
        return;
    }
    back_.push_back(e);
    while (back_.size() > kMaxBackEntries) back_.pop_front();
    if (!goingForward_) forward_.clear();
    goingForward_ = false;
}

void DocumentNavigation::updatePageCaption(const std::string& idFN) {
    if (statusBar_) statusBar_->setPageCaption(pageCaptionText(doc_, idFN));
}

bool DocumentNavigation::synchroAllowed() const { return doc_.toggles().synchro && !isSpecialPage(shownId()); }

bool DocumentNavigation::canBack() const { return isPageId(shownId()) && !back_.empty(); }

bool DocumentNavigation::canForward() const { return isPageId(shownId()) && !forward_.empty(); }

bool DocumentNavigation::canPrevious() const {
    const std::string id = shownId();
    const auto kind = numbering::pageKind(id);
    if (!kind || *kind == numbering::SpecialPage) return false;
    return previousTarget(id).has_value();
}

bool DocumentNavigation::canNext() const {
    const std::string id = shownId();
    const auto kind = numbering::pageKind(id);
    if (!kind || *kind == numbering::SpecialPage) return false;
    return nextTarget(id).has_value();
}

CommandState DocumentNavigation::commandState(int id) const {
    const Toggles& t = doc_.toggles();
    switch (id) {
        case cmd::Back: return {canBack(), false};
        case cmd::Forward: return {canForward(), false};
        case cmd::Previous: return {canPrevious(), false};
        case cmd::Next: return {canNext(), false};
        case cmd::Synchro: {
            const bool searchOrBookmarks = navigator_ && navigator_->currentTab() >= 2;
            if (searchOrBookmarks) return {false, false};
            return {true, t.synchro};
        }
        case cmd::Refer: return {true, t.refer};
        case cmd::Brachet: return {true, t.brachet};
        case cmd::PinPoint: return {true, t.pinPoint};
        case cmd::CitedBy: return {true, doc_.citedByShown()};
        case cmd::printPage:
        case cmd::PrintPreview: return {!shownId().empty(), false};
        case cmd::Search:
        case cmd::Options:
        case cmd::Block:
        case cmd::Test: return {true, false};
        default: return {false, false};
    }
}

bool DocumentNavigation::onCommand(int id) {
    switch (id) {
        case cmd::Back:
        case cmd::Forward:
        case cmd::Previous:
        case cmd::Next: move(id); return true;
        case cmd::Synchro: toggleSynchro(); return true;
        case cmd::Refer:
        case cmd::Brachet:
        case cmd::PinPoint:
        case cmd::CitedBy: toggleDisplay(id); return true;
        case cmd::printPage: print(0); return true;
        case cmd::PrintPreview: print(1); return true;
        case cmd::Search: inPageSearch(); return true;
        case cmd::Options: runOptions(optionsDialog_); return true;
        case cmd::Block:
        case cmd::Test: return true;
        default: return false;
    }
}

bool DocumentNavigation::move(int id) {
    if (!view_ || !navigator_) return false;
    const std::string shown = view_->currentPageId();
    if (!isPageId(shown)) return false;

    std::optional<HistoryEntry> target;
    std::deque<HistoryEntry>* taken = nullptr;
    switch (id) {
        case cmd::Previous: target = previousTarget(shown); break;
        case cmd::Next: target = nextTarget(shown); break;
        case cmd::Back:
            if (back_.empty()) return false;
            goingBack_ = true;
            target = back_.back();
            back_.pop_back();
            taken = &back_;
            break;
        case cmd::Forward:
            if (forward_.empty()) return false;
            goingForward_ = true;
            target = forward_.back();
            forward_.pop_back();
            taken = &forward_;
            break;
        default: return false;
    }
    if (!target || !isPageId(target->idFN)) {
        goingBack_ = goingForward_ = false;
        return false;
    }

    view_->setRestorePosition(target->x, target->y);
    if (!view_->showPage(target->idFN)) {
        // Nothing was shown, so nothing was left: the entry goes back where it
        // came from and the flag must not misfile the next real visit.
        if (taken) taken->push_back(*target);
        goingBack_ = goingForward_ = false;
        view_->setRestorePosition(0, 0);
        return false;
    }
    view_->colorAnchors();
    if (synchroAllowed()) navigator_->syncToArticle(target->idFN);
    navigator_->refreshAfterMove();
    return true;
}

void DocumentNavigation::toggleSynchro() {
    Toggles& t = doc_.toggles();
    const bool wasOff = !t.synchro;
    t.synchro = !t.synchro;
    if (wasOff && navigator_ && view_) {
        const std::string id = view_->currentPageId();
        if (isPageId(id) && synchroAllowed()) navigator_->syncToArticle(id);
    }
}

void DocumentNavigation::toggleDisplay(int id) {
    Toggles& t = doc_.toggles();
    switch (id) {
        case cmd::Refer: t.refer = !t.refer; break;
        case cmd::Brachet: t.brachet = !t.brachet; break;
        case cmd::PinPoint: t.pinPoint = !t.pinPoint; break;
        case cmd::CitedBy: doc_.setCitedByShown(!doc_.citedByShown()); break;
        default: return;
    }
    redisplay();
}

void DocumentNavigation::redisplay() {
    if (!view_) return;
    const std::string id = view_->currentPageId();
    if (id.empty()) return;
    view_->setReshow();
    view_->clearPageCache();
    view_->showPage(id);
    view_->colorAnchors();
}

void DocumentNavigation::print(int preview) {
    if (view_) view_->printPage(preview);
}

void DocumentNavigation::inPageSearch() {
    if (!view_) return;
    const std::string marks = view_->currentMarks();
    if (!marks.empty()) view_->markWords(marks, 1);
    lastSearchText_ = view_->runSearchDialog(lastSearchText_);
}

void DocumentNavigation::runOptions(const OptionsDialogRunner& runner) {
    if (!runner) return;
    OptionBlock block = doc_.options();
    runner(block, doc_.defaultOptions());
    doc_.options() = block;
    redisplay();
}

}  // namespace tavrel
