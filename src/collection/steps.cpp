#include "collection/steps.h"

#include "collection/utf8.h"
#include "text/sjis.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <memory>
#include <set>

namespace tavrel::collection {

namespace {

bool ofLaw(const std::string& id, const std::string& law) { return law.empty() || id.compare(0, 3, law) == 0; }

// Characters the law texts print that CP932 lacks, with the form a reader
// types when searching for them.
constexpr std::pair<char32_t, char32_t> kVariants[] = {
    {U'塡', U'填'}, {U'剝', U'剥'}, {U'頰', U'頬'}, {U'𠮟', U'叱'}, {U'𠮷', U'吉'}, {U'﨑', U'崎'}, {U'髙', U'高'},
};

// f for every character from U+0080 on (U+FFFD for a byte that starts no
// valid sequence), as long as it returns true; false when it returned false.
template <class F>
bool everyWideCharacter(std::string_view utf8Text, F f) {
    for (size_t i = 0; i < utf8Text.size();) {
        if (static_cast<unsigned char>(utf8Text[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t c = 0;
        const size_t n = utf8::sequenceAt(utf8Text, i, c);
        i += n == 0 ? 1 : n;
        if (!f(n == 0 ? U'\uFFFD' : c)) return false;
    }
    return true;
}

// A character's CP932 form that reads back as itself, asked of iconv.
bool convertsBack(char32_t c) {
    bool ok = true;
    const std::string one = utf8::encode(c);
    const std::string cp932 = text::fromUtf8(one, &ok);
    // A form that reads back as another character (〜 U+301C) is no form.
    return ok && text::toUtf8(cp932) == one;
}

template <class F>
std::string mapMissing(const std::string& utf8, F replace) {
    if (hasCp932Forms(utf8)) return utf8;
    std::string out;
    for (char32_t c : utf8::decode(utf8)) {
        if (hasCp932Form(c))
            utf8::append(out, c);
        else
            out += replace(c);
    }
    return out;
}

bool allAscii(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

ConvertContext conversionContext(const Collection& c, const std::string& law) {
    auto prefixes = std::make_shared<std::set<std::string>>();
    for (const auto& [id, p] : c.pages) prefixes->insert(id.substr(0, 12));
    ConvertContext ctx;
    ctx.ownLaw = law;
    if (const Law* l = c.law(law)) ctx.aliases = l->aliases;
    ctx.pageExists = [prefixes](const std::string& p12) { return prefixes->count(p12) > 0; };
    return ctx;
}

void convertPages(Collection& c, const std::string& law) {
    std::string currentLaw;
    ConvertContext ctx;
    for (auto& [id, p] : c.pages) {
        if (!ofLaw(id, law)) continue;
        if (currentLaw != id.substr(0, 3)) {
            currentLaw = id.substr(0, 3);
            ctx = conversionContext(c, currentLaw);
        }
        if (id[4] >= '0' && id[4] <= '9') p.caption = convertPlain(p.caption, ctx);
        for (Sentence& s : p.sentences) {
            s.markup = s.convert ? convertReferences(s.text, ctx) : s.text;
            s.markup = expandInlineMarks(applyRuby(s.markup, c.ruby));
        }
    }
}

void fillSearchTexts(Collection& c, const std::string& law) {
    for (auto& [id, p] : c.pages)
        if (ofLaw(id, law))
            for (Sentence& s : p.sentences) s.search = searchText(s.markup);
}

std::string expandInlineMarks(const std::string& text) {
    static const char* const kTags[] = {"<ruby>", "<rt>", "</rt></ruby>", "<sup>", "</sup>", "<sub>", "</sub>"};
    std::string out;
    out.reserve(text.size());
    size_t from = 0;  // the text between the marks is copied in runs
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch < kRubyOpen || ch > kSubClose) continue;
        out.append(text, from, i - from);
        out += kTags[ch - kRubyOpen];
        from = i + 1;
    }
    out.append(text, from, std::string::npos);
    return out;
}

std::string stripInlineMarks(const std::string& text) {
    std::string out;
    bool reading = false;
    for (char ch : text) {
        if (ch == kRubyReading) reading = true;
        if (ch == kRubyClose) reading = false;
        if ((ch >= kRubyOpen && ch <= kSubClose) || reading) continue;
        out += ch;
    }
    return out;
}

bool hasCp932Form(char32_t c) {
    if (c < 0x80) return true;
    if (c >= 0x10000) return convertsBack(c);  // none of them has one; rare in texts
    // Every character of the basic plane is asked of iconv once per process:
    // 0 not asked yet, 1 has a form, 2 has none. Threads that ask at the same
    // time store the same answer.
    static std::array<std::atomic<unsigned char>, 0x10000> known{};
    unsigned char k = known[c].load(std::memory_order_relaxed);
    if (k == 0) {
        k = convertsBack(c) ? 1 : 2;
        known[c].store(k, std::memory_order_relaxed);
    }
    return k == 1;
}

bool hasCp932Forms(std::string_view utf8Text) { return everyWideCharacter(utf8Text, hasCp932Form); }

std::string withCharacterReferences(const std::string& utf8Text) {
    if (allAscii(utf8Text)) return utf8Text;
    return mapMissing(utf8Text, [](char32_t c) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "&#x%X;", static_cast<unsigned>(c));
        return std::string(buf);
    });
}

std::string withGeta(const std::string& utf8Text) {
    if (allAscii(utf8Text)) return utf8Text;
    return mapMissing(utf8Text, [](char32_t) { return std::string("〓"); });
}

std::string withVariants(const std::string& utf8Text) {
    if (allAscii(utf8Text)) return utf8Text;
    return mapMissing(utf8Text, [](char32_t c) {
        for (const auto& [from, to] : kVariants)
            if (from == c) return utf8::encode(to);
        return std::string("〓");
    });
}

void addCharactersWithoutCp932Form(std::string_view utf8Text, std::set<char32_t>& missing) {
    everyWideCharacter(utf8Text, [&missing](char32_t c) {
        if (!hasCp932Form(c)) missing.insert(c);
        return true;
    });
}

size_t fitToCp932(Collection& c, const std::string& law, const std::set<char32_t>& missing) {
    if (missing.empty()) return 0;
    std::vector<std::string> needles;
    for (char32_t ch : missing) needles.push_back(utf8::encode(ch));
    const auto holdsMissing = [&needles](const std::string& s) {
        for (const std::string& n : needles)
            if (s.find(n) != std::string::npos) return true;
        return false;
    };
    size_t replaced = 0;
    auto fit = [&](std::string& s, std::string (*how)(const std::string&)) {
        if (!holdsMissing(s)) return;
        s = how(s);
        ++replaced;
    };
    for (Law& l : c.laws)
        if (l.id == law)
            for (std::string* s : {&l.common, &l.shortName, &l.formal}) fit(*s, withGeta);
    for (auto& [id, d] : c.divisions)
        if (ofLaw(id, law))
            for (std::string& n : d.names) fit(n, withGeta);
    for (auto& [id, p] : c.pages) {
        if (!ofLaw(id, law)) continue;
        fit(p.caption, withGeta);
        fit(p.supplement, withGeta);
        for (Sentence& s : p.sentences) {
            // The search text holds nothing the markup does not (save ASCII).
            if (!holdsMissing(s.markup)) continue;
            s.search = withVariants(s.search);
            fit(s.markup, withCharacterReferences);
        }
    }
    for (TablePiece& t : c.tables) {
        if (!ofLaw(t.idBN, law) || !holdsMissing(t.html)) continue;
        t.search = withVariants(t.search);
        fit(t.html, withCharacterReferences);
    }
    return replaced;
}

}  // namespace tavrel::collection
