#include "database/sql_texts.h"

#include "database/identifiers.h"
#include "text/sjis.h"

namespace tavrel::db::sql {

namespace {

std::optional<std::string> withId(const std::string& fmtCp932, std::string_view id, size_t length) {
    // The identifier is ASCII, so the CP932 format takes it unchanged.
    return formatSqlWithId(fmtCp932.c_str(), id, length);
}

bool isSafeWord(std::string_view word) {
    return word.find('\'') == std::string_view::npos && word.find('\0') == std::string_view::npos;
}

}  // namespace

std::string lawsShown() { return SJ(kLawsShown); }
std::string pagesWithLaws() { return SJ(kPagesWithLaws); }
std::string pagesShown() { return SJ(kPagesShown); }
std::optional<std::string> pagesOfLaw(std::string_view idHn) { return withId(SJ(kPagesOfLaw), idHn, kIdHNLength); }

std::optional<std::string> chapters(std::string_view idHn) { return withId(SJ(kChapters), idHn, kIdHNLength); }
std::optional<std::string> sections(std::string_view idHn) { return withId(SJ(kSections), idHn, kIdHNLength); }
std::optional<std::string> subsections(std::string_view idHn) { return withId(SJ(kSubsections), idHn, kIdHNLength); }
std::optional<std::string> divisions(std::string_view idHn) { return withId(SJ(kDivisions), idHn, kIdHNLength); }

std::optional<std::string> searchTitles(std::string_view wordCp932) {
    if (!isSafeWord(wordCp932)) return std::nullopt;
    const std::string word(wordCp932);
    return text::format(SJ(kSearchTitles).c_str(), word.c_str(), 3);
}

std::optional<std::string> searchSentences(std::string_view wordCp932) {
    if (!isSafeWord(wordCp932)) return std::nullopt;
    const std::string word(wordCp932);
    return text::format(SJ(kSearchSentences).c_str(), 15, word.c_str(), 15, 3);
}

std::optional<std::string> searchTables(std::string_view wordCp932) {
    if (!isSafeWord(wordCp932)) return std::nullopt;
    const std::string word(wordCp932);
    return text::format(SJ(kSearchTables).c_str(), 15, word.c_str(), 15, 3);
}

std::optional<std::string> pageTitle(std::string_view idFn) { return withId(SJ(kPageTitle), idFn, kIdFNLength); }

std::optional<std::string> sentencesByPrefix(std::string_view prefix) {
    if (prefix.empty() || prefix.size() > kIdBNLength || !isIdentifier(prefix, prefix.size())) return std::nullopt;
    const std::string id(prefix);
    return text::format(SJ(kSentencesByPrefix).c_str(), static_cast<int>(id.size()), id.c_str());
}

std::optional<std::string> tablePieces(std::string_view idBn) { return withId(SJ(kTablePieces), idBn, kIdBNLength); }
std::optional<std::string> otherPieces(std::string_view idFn) { return withId(SJ(kOtherPieces), idFn, kIdFNLength); }
std::optional<std::string> references(std::string_view idBn) { return withId(SJ(kReferences), idBn, kIdBNLength); }
std::optional<std::string> history(std::string_view idFn) { return withId(SJ(kHistory), idFn, kIdFNLength); }

}  // namespace tavrel::db::sql
