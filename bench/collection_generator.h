// Scaled collections for measuring: a data folder holding the sample
// collection's files with every law (except the special pages' pseudo-law
// 00A) copied under new law identifiers, so that the contents tree, the lists,
// the pages and the full-text search meet a collection of a chosen size.
//
// Every identifier of a copied row (ID_HN, ID_FN, ID_SN, ID_BN) gets the
// copy's law identifier in its first three characters, in every table;
// reference targets (T_参.ID_FN) into a copied law point into the same copy,
// so every table stays consistent. The law names carry the copy's number, as
// in "建築基準法（2）". Optionally the articles of some copies get their
// paragraphs once more under the following paragraph numbers, which raises
// the number of sentences per page towards that of the full statute
// collection.
#pragma once

#include <filesystem>
#include <string>

namespace tavrel::bench {

struct ScalePlan {
    int copies = 1;         // copies of each law, the original included (>= 1)
    int doubledCopies = 0;  // copies (after the original) whose articles hold their paragraphs twice
};

struct CollectionSize {
    long laws = 0, pages = 0, sentences = 0, tables = 0;
    long long searchBytes = 0;  // bytes of the captions and search data (UTF-8)
};

// "2008": about 5,000 pages and 60,000 sentences; "large": four times that.
// The plan is worked out from the sample collection's own counts. False for
// an unknown preset name.
bool presetPlan(const std::string& preset, const CollectionSize& sample, ScalePlan& plan);

// Counts of a collection's database file.
bool measureCollection(const std::filesystem::path& databaseFile, CollectionSize& size, std::string* error);

// Writes outFolder (created; it must not hold a database yet) from the
// sample data folder: the database scaled by plan, the marker file, the help
// page and the image folder copied. False with *error on failure; then the
// partial database is removed.
bool makeCollection(const std::filesystem::path& sampleFolder, const std::filesystem::path& outFolder,
                    const ScalePlan& plan, std::string* error);

// The sample collection's data folder of this build (beside the programs).
std::filesystem::path builtSampleFolder();

}  // namespace tavrel::bench
