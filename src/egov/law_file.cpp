#include "egov/law_xml.h"
#include "egov/xml_text.h"

#include "collection/steps.h"
#include "collection/utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

namespace tavrel::egov {

namespace fs = std::filesystem;
using namespace tavrel::collection;
using xml::named;

void xml::appendText(std::string& out, std::string_view s, bool escape) {
    // Runs of plain characters are copied whole.
    size_t from = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const bool control = c < 0x20 && c != '\t' && c != '\n';
        const bool entity = escape && (c == '&' || c == '<' || c == '>');
        if (!control && !entity) continue;
        out.append(s, from, i - from);
        if (entity) out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;";
        from = i + 1;
    }
    out.append(s, from, std::string_view::npos);
}

std::string xml::htmlEscapeText(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    appendText(out, s, true);
    return out;
}

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

[[noreturn]] void refuse(const std::string& file, int line, const std::string& what) {
    throw ImportError(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + what);
}

}  // namespace

int LawFile::lineOf(const pugi::xml_node& n) const {
    const ptrdiff_t offset = n.offset_debug();
    if (offset < 0 || lineStarts.empty()) return 0;
    return static_cast<int>(std::upper_bound(lineStarts.begin(), lineStarts.end(), static_cast<size_t>(offset)) -
                            lineStarts.begin());
}

std::string LawFile::pathOf(const pugi::xml_node& n) const {
    std::vector<std::string> parts;
    for (pugi::xml_node p = n; p && p.type() == pugi::node_element; p = p.parent()) {
        std::string part = p.name();
        if (const char* num = p.attribute("Num").value(); *num) part += std::string("[") + num + "]";
        parts.push_back(part);
    }
    std::string path;
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) path += "/" + *it;
    return path;
}

LawFile readLawFile(const fs::path& file) {
    const std::string name = file.string();
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec) refuse(name, 0, "cannot read the file: " + ec.message());
    if (size > kMaxFileBytes)
        refuse(name, 0,
               "the file has " + std::to_string(size) + " bytes, more than a law file may have (" +
                   std::to_string(kMaxFileBytes) + ")");
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) refuse(name, 0, "cannot read the file");
    return parseLawFile(bytes, name);
}

LawFile parseLawFile(const std::string& bytes, const std::string& fileName) {
    if (bytes.size() > kMaxFileBytes) refuse(fileName, 0, "the file is larger than a law file may be");
    const auto starts = [&](const char* prefix, size_t n) { return bytes.size() >= n && std::memcmp(bytes.data(), prefix, n) == 0; };
    const bool utf8Bom = starts("\xEF\xBB\xBF", 3);
    const bool utf16Bom = starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2);
    if (!utf8Bom && !utf16Bom) {
        if (starts("<\0", 2) || starts("\0<", 2))
            refuse(fileName, 1, "UTF-16 without a byte-order mark: only UTF-8, or UTF-16 with a byte-order mark, is read");
        // The declaration may name UTF-8 only.
        if (starts("<?xml", 5)) {
            const size_t end = bytes.find("?>");
            const std::string decl = lower(bytes.substr(0, end == std::string::npos ? 0 : end));
            const size_t enc = decl.find("encoding");
            if (enc != std::string::npos) {
                const size_t q = decl.find_first_of("\"'", enc);
                const size_t q2 = q == std::string::npos ? q : decl.find(decl[q], q + 1);
                const std::string value = q2 == std::string::npos ? "" : decl.substr(q + 1, q2 - q - 1);
                if (value != "utf-8" && value != "utf8")
                    refuse(fileName, 1, "the encoding \"" + value + "\" is not read: only UTF-8, or UTF-16 with a byte-order mark");
            }
        }
        if (const size_t bad = utf8::firstInvalid(bytes); bad != std::string::npos)
            refuse(fileName, 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(bad), '\n')),
                   "the text is not valid UTF-8");
    }

    LawFile f;
    f.fileName = fileName;
    f.document = std::make_shared<pugi::xml_document>();
    // Default options; DOCTYPE nodes are kept only to be refused.
    const pugi::xml_parse_result parsed =
        f.document->load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_doctype);
    // Lines of the buffer as pugixml holds it (UTF-8 after any conversion).
    f.lineStarts.push_back(0);
    if (!utf16Bom) {
        for (const char* p = bytes.data(), *end = p + bytes.size();
             (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)))) != nullptr; ++p)
            f.lineStarts.push_back(static_cast<size_t>(p - bytes.data()) + 1);
    }
    if (!parsed) {
        int line = 0;
        if (!utf16Bom)
            line = 1 + static_cast<int>(std::count(bytes.begin(),
                                                   bytes.begin() + std::clamp<ptrdiff_t>(parsed.offset, 0, static_cast<ptrdiff_t>(bytes.size())), '\n'));
        refuse(fileName, line, std::string("not well-formed XML: ") + parsed.description());
    }
    for (const pugi::xml_node& n : f.document->children())
        if (n.type() == pugi::node_doctype)
            refuse(fileName, f.lineOf(n), "a DOCTYPE is not read (a law file has none; it could declare entities)");
    // Depth, counted without recursion.
    {
        int depth = 0;
        pugi::xml_node n = f.document->first_child();
        while (n) {
            if (n.first_child()) {
                n = n.first_child();
                if (++depth > kMaxDepth)
                    refuse(fileName, f.lineOf(n), "elements nest deeper than " + std::to_string(kMaxDepth) + " levels");
                continue;
            }
            while (n && !n.next_sibling()) {
                n = n.parent();
                --depth;
            }
            if (n) n = n.next_sibling();
        }
    }
    const pugi::xml_node root = f.document->document_element();
    if (named(root, "Law")) {
        f.law = root;
    } else if (named(root, "DataRoot")) {
        f.law = root.child("ApplData").child("LawFullText").child("Law");
        f.lawId = root.child("ApplData").child_value("LawId");
        if (!f.law) refuse(fileName, f.lineOf(root), "a DataRoot without ApplData/LawFullText/Law holds no law");
    } else {
        refuse(fileName, f.lineOf(root), std::string("the root element <") + root.name() + "> is not <Law> or <DataRoot>");
    }
    const pugi::xml_node body = f.law.child("LawBody");
    if (!body) refuse(fileName, f.lineOf(f.law), "the law has no LawBody");
    f.title = inlineText(f, body.child("LawTitle"), false, nullptr);
    f.title = stripInlineMarks(f.title);
    if (f.title.empty()) refuse(fileName, f.lineOf(body), "the law has no LawTitle");
    f.abbrev = body.child("LawTitle").attribute("Abbrev").value();
    if (const size_t comma = f.abbrev.find_first_of(",、"); comma != std::string::npos) f.abbrev.resize(comma);
    f.lawNum = f.law.child_value("LawNum");
    f.lawType = f.law.attribute("LawType").value();
    // Promulgation date from the attributes.
    static const std::map<std::string, int> eraStart = {
        {"Meiji", 1867}, {"Taisho", 1911}, {"Showa", 1925}, {"Heisei", 1988}, {"Reiwa", 2018}};
    const auto era = eraStart.find(f.law.attribute("Era").value());
    const int year = f.law.attribute("Year").as_int(), month = f.law.attribute("PromulgateMonth").as_int(),
              day = f.law.attribute("PromulgateDay").as_int();
    if (era != eraStart.end() && year > 0 && month >= 1 && month <= 12 && day >= 1 && day <= 31) {
        char date[48];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", era->second + year, month, day);
        f.promulgated = date;
    }
    if (f.lawId.empty()) {
        // The identifier e-Gov gives a law: era digit, year, type, number.
        static const std::map<std::string, std::string> eraDigit = {
            {"Meiji", "1"}, {"Taisho", "2"}, {"Showa", "3"}, {"Heisei", "4"}, {"Reiwa", "5"}};
        static const std::map<std::string, std::string> typeCode = {
            {"Constitution", "CONSTITUTION"}, {"Act", "AC"}, {"CabinetOrder", "CO"}, {"ImperialOrder", "IO"},
            {"MinisterialOrdinance", "M"}, {"Rule", "R"}, {"Misc", "X"}};
        const auto d = eraDigit.find(f.law.attribute("Era").value());
        const auto t = typeCode.find(f.lawType);
        // Acts and orders carry their number in ten digits (418AC0000000091);
        // the other kinds hold more than the file tells (the ministry) and
        // keep the number as it is.
        std::string number = f.law.attribute("Num").value();
        const bool tenDigits = f.lawType == "Act" || f.lawType == "CabinetOrder" || f.lawType == "ImperialOrder";
        if (tenDigits && !number.empty() && number.size() < 10 &&
            number.find_first_not_of("0123456789") == std::string::npos)
            number.insert(0, 10 - number.size(), '0');
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s%02d%s%s", d == eraDigit.end() ? "0" : d->second.c_str(), year,
                      t == typeCode.end() ? "X" : t->second.c_str(), number.c_str());
        f.lawId = buf;
    }
    // Every character of the texts and attributes, tried for a CP932 form.
    {
        for (pugi::xml_node n = f.law; n;) {
            if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
                addCharactersWithoutCp932Form(n.value(), f.withoutCp932Form);
            for (const pugi::xml_attribute& a : n.attributes())
                addCharactersWithoutCp932Form(a.value(), f.withoutCp932Form);
            if (n.first_child()) {
                n = n.first_child();
                continue;
            }
            while (n && n != f.law && !n.next_sibling()) n = n.parent();
            if (!n || n == f.law) break;
            n = n.next_sibling();
        }
    }
    for (const pugi::xml_node& s : body.children("SupplProvision"))
        if (const char* amend = s.attribute("AmendLawNum").value(); *amend) f.revision = amend;
    return f;
}

std::string inlineText(const LawFile& file, const pugi::xml_node& n, bool escape, std::vector<Warning>* warnings) {
    std::string out;
    for (const pugi::xml_node& c : n.children()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
            xml::appendText(out, c.value(), escape);
            continue;
        }
        if (c.type() != pugi::node_element) continue;
        if (named(c, "Ruby")) {
            std::string base, reading;
            for (const pugi::xml_node& r : c.children()) {
                if (r.type() == pugi::node_pcdata) xml::appendText(base, r.value(), escape);
                if (named(r, "Rt")) reading += inlineText(file, r, escape, warnings);
            }
            out += kRubyOpen + base + kRubyReading + reading + kRubyClose;
        } else if (named(c, "Sup")) {
            out += kSupOpen + inlineText(file, c, escape, warnings) + kSupClose;
        } else if (named(c, "Sub")) {
            out += kSubOpen + inlineText(file, c, escape, warnings) + kSubClose;
        } else if (named(c, "Line") || named(c, "ArithFormula") || named(c, "QuoteStruct") || named(c, "Sentence") ||
                   named(c, "Column")) {
            if (named(c, "Column") && !out.empty()) out += "　";
            out += inlineText(file, c, escape, warnings);
        } else {
            if (warnings)
                warnings->push_back({file.pathOf(c), file.lineOf(c), "unknown element: its text is kept as text"});
            out += inlineText(file, c, escape, warnings);
        }
    }
    return out;
}

}  // namespace tavrel::egov
