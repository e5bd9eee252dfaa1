// The fixed pieces of a law text page: link style rules, the image anchor,
// the heading blocks, the division captions, the notices of abolished laws
// and the click-through link of a large page. All texts are CP932.
#pragma once

#include "document/numbering.h"
#include "document/options.h"

#include <string>

namespace tavrel::render {

// The four link style rules, "A { text-decoration: none; }\n" ... "A:hover".
std::string linkStyleRules(const OptionBlock& options);

// The style element of a table piece: linkStyleRules inside "<style …>",
// "<!--", "-->", "</style>\n\n".
std::string tableStyleBlock(const OptionBlock& options);

// The anchor at which the text view inserts its images ("insert_point").
std::string imageAnchor();

// <html>, the head with its style sheet and the two empty script blocks.
std::string pageHead(const OptionBlock& options);

// The body tag with the basic font size, background and text colour.
std::string bodyTag(const OptionBlock& options);

// Heading blocks; the article block is empty when the article number is not
// greater than 0.
std::string articleHeading(const OptionBlock& options, const numbering::ArticleNumber& number,
                           const std::string& lawName);
std::string supplementaryHeading(const OptionBlock& options, const std::string& lawName);
std::string notificationHeading(const OptionBlock& options, const numbering::NotificationNumber& number,
                                const std::string& lawName);

// Era name of a notification era code: 明治, 大正, 昭和, 平成 for 1-4, else 不明.
std::string eraName(int eraCode);

// The red notice of an abolished law ("10A", "10B", "10C"); "" for others.
std::string abolishedLawNotice(const std::string& idHN);

// The click-through link that stands for the sentences of a large page.
std::string largePageLink(const std::string& idFN);

}  // namespace tavrel::render
