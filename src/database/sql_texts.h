// Every SQL text the program runs, in one place.
//
// The constants are the statements exactly as the program sends them (UTF-8
// here, because source files are UTF-8; doubled blanks and the trailing blank
// of some statements are part of the text). "%s" stands for an identifier or
// a search word, "%d" for a length; "%%" is a literal percent sign, so the
// full-text statements read "Like '%word%'" once formatted.
//
// Call sites do not format the constants themselves: the builder functions
// below return the finished statement as CP932 text, ready for
// Connection::execute. A builder that takes an identifier checks it first
// (database/identifiers.h) and returns nothing when the check fails, so no
// unchecked text reaches SQL. The search builders take a search word that the
// caller has already passed through its forbidden-character check; they still
// refuse a word holding a quote or a NUL, which would break the statement.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrel::db::sql {

// Laws shown, in identifier order (document start-up, tree, law selector).
inline constexpr const char* kLawsShown =
    "SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]";

// Pages shown of laws shown, joined with their law (document start-up).
// Duplicate names: "T_条.表示"/"T_法.表示".
inline constexpr const char* kPagesWithLaws =
    "SELECT * FROM T_条, T_法 WHERE LEFT(T_条.[ID_FN], 3) = T_法.[ID_HN] AND  T_条.[表示] = YES AND  T_法.[表示] = YES ORDER BY [ID_FN]";

// All pages shown (contents tree).
inline constexpr const char* kPagesShown =
    "SELECT * FROM T_条 WHERE [表示] = YES ORDER BY [ID_FN]";

// Pages shown of one law; %s = ID_HN (article list).
inline constexpr const char* kPagesOfLaw =
    "SELECT * FROM T_条 WHERE LEFT([ID_FN], 3) = '%s' AND [表示] = YES ORDER BY [ID_FN]";

// Chapter rows of a law; %s = ID_HN; name field 章名 (contents tree).
inline constexpr const char* kChapters =
    "SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN], 5, 4) <> '0000' AND RIGHT([ID_SN], 14) = '0000-0000-0000' ORDER BY [ID_SN]";

// Section rows; %s = ID_HN; name field 節名.
inline constexpr const char* kSections =
    "SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND MID([ID_SN], 10, 4) <> '0000' AND RIGHT([ID_SN], 9) = '0000-0000' ORDER BY [ID_SN]";

// Subsection rows; %s = ID_HN; name field 款名.
inline constexpr const char* kSubsections =
    "SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND MID([ID_SN], 10, 4) <> '0000' AND MID([ID_SN], 15, 4) <> '0000' AND RIGHT([ID_SN], 4) = '0000' ORDER BY [ID_SN]";

// Division rows; %s = ID_HN; name field 目名.
inline constexpr const char* kDivisions =
    "SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND MID([ID_SN], 10, 4) <> '0000' AND MID([ID_SN], 15, 4) <> '0000' AND MID([ID_SN], 20, 4) <> '0000' ORDER BY [ID_SN]";

// Full-text search over page captions; %s = word, %d = 3.
inline constexpr const char* kSearchTitles =
    "SELECT [ID_FN] FROM T_条, T_法 WHERE ([T_条].[条名]) Like '%%%s%%' AND LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY [T_条].[ID_FN] ";

// Full-text search over sentences; %d = 15, %s = word, %d = 15, %d = 3.
inline constexpr const char* kSearchSentences =
    "SELECT T_条.[ID_FN] FROM T_条, T_法 WHERE T_条.[ID_FN] in (SELECT Left([ID_BN],%d) AS ID_FN FROM T_文 WHERE (T_文.[検索用データ]) Like '%%%s%%' GROUP BY Left([ID_BN],%d) ) AND LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY [T_条].[ID_FN] ";

// Full-text search over tables; %d = 15, %s = word, %d = 15, %d = 3.
inline constexpr const char* kSearchTables =
    "SELECT T_条.[ID_FN] FROM T_条, T_法 WHERE T_条.[ID_FN] in (SELECT Left([ID_BN],%d) AS ID_FN FROM T_表 WHERE (T_表.[検索用データ]) Like '%%%s%%' GROUP BY Left([ID_BN],%d) ) AND LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY [T_条].[ID_FN] ";

// One page with its division; %s = ID_FN (page builder).
// Duplicate name: "T_条.ID_SN"/"T_章.ID_SN".
inline constexpr const char* kPageTitle =
    "SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = '%s' ";

// Sentences whose ID_BN starts with a prefix; %d = its length (15: one page,
// 12: a whole article), %s = the prefix (page builder, pinpoint dialog).
inline constexpr const char* kSentencesByPrefix =
    "SELECT * FROM T_文 WHERE LEFT([ID_BN], %d) = '%s' ORDER BY [ID_BN]";

// Table pieces of a sentence; %s = ID_BN (table rendering).
inline constexpr const char* kTablePieces =
    "SELECT * FROM T_表 WHERE ID_BN = '%s' ORDER BY 順序";

// HTML pieces of a special page; %s = ID_FN.
inline constexpr const char* kOtherPieces =
    "SELECT * FROM T_他 WHERE ID_FN = '%s' ORDER BY 順序";

// Reference links of a sentence; %s = ID_BN. Duplicate names:
// "T_参.ID_FN"/"T_条.ID_FN", "T_参.表示"/"T_条.表示".
inline constexpr const char* kReferences =
    "SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN WHERE T_参.ID_BN = '%s' AND T_参.表示 = YES ORDER BY T_参.順序";

// Revision history of a notification; %s = ID_FN of its first page.
inline constexpr const char* kHistory =
    "SELECT * FROM T_告 WHERE ID_FN = '%s' ";

// ---- Builders: finished CP932 statements ----

std::string lawsShown();
std::string pagesWithLaws();
std::string pagesShown();
std::optional<std::string> pagesOfLaw(std::string_view idHn);

// The four division statements of a law (ID_HN).
std::optional<std::string> chapters(std::string_view idHn);
std::optional<std::string> sections(std::string_view idHn);
std::optional<std::string> subsections(std::string_view idHn);
std::optional<std::string> divisions(std::string_view idHn);

// Full-text statements; wordCp932 is the (already checked) search word.
std::optional<std::string> searchTitles(std::string_view wordCp932);
std::optional<std::string> searchSentences(std::string_view wordCp932);
std::optional<std::string> searchTables(std::string_view wordCp932);

std::optional<std::string> pageTitle(std::string_view idFn);
// prefix: the first 1 to 35 characters of an ID_BN (15 = one page's ID_FN,
// 12 = an article as a whole); %d becomes its length.
std::optional<std::string> sentencesByPrefix(std::string_view prefix);
std::optional<std::string> tablePieces(std::string_view idBn);
std::optional<std::string> otherPieces(std::string_view idFn);
std::optional<std::string> references(std::string_view idBn);
std::optional<std::string> history(std::string_view idFn);

}  // namespace tavrel::db::sql
