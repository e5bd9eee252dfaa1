#include "render/page_parts.h"

#include "render/render_support.h"
#include "text/sjis.h"

namespace tavrel::render {

namespace {

std::string f18(const std::string& color) {
    return SJ("<font style=\"font-size: 18pt; font-family: 'Century','ＭＳ Ｐ明朝' ; color: ") + color + "\">\n";
}
std::string f18c(const std::string& color) {
    return "<font style=\"font-size: 18pt; font-family: 'Century'; color: " + color + "\">\n";
}
std::string f9(const std::string& color) {
    return "<font style=\"font-size: 9pt; font-weight: bold; color: " + color + "\">\n";
}
std::string lawNameLine(const std::string& lawName) { return SJ("　〔") + lawName + SJ("〕\n"); }

}  // namespace

std::string linkStyleRules(const OptionBlock& options) {
    std::string s = text::format("A { text-decoration: %s; }\n", "none");
    s += text::format("A:link { color: #%s}\n", colorToHtml(options[FontColorLink]).c_str());
    s += text::format("A:active { color: #%s}\n", colorToHtml(options[FontColorLinkActive]).c_str());
    s += text::format("A:hover { color: #%s}\n", colorToHtml(options[FontColorLinkActive]).c_str());
    return s;
}

std::string tableStyleBlock(const OptionBlock& options) {
    return "<style type=\"text/css\">\n<!--\n" + linkStyleRules(options) + "-->\n</style>\n\n";
}

std::string imageAnchor() {
    return SJ("\n\n<!--↓イメージ等の動的挿入用アンカー-------->\n<a name=\"") + "insert_point" + "\"></a>\n\n";
}

std::string pageHead(const OptionBlock& options) {
    std::string s = "<html>\n<head>\n<style type=\"text/css\">\n<!--\n";
    s += linkStyleRules(options);
    s += "-->\n</style>\n";
    s += "<script language=\"VBScript\">\n<!--\nSub Dummy()\nEnd Sub\n//-->\n</script>\n";
    s += "<script language=\"JavaScript\">\n<!--\nfunction Dummy()\n{\n}\n//-->\n</script>\n";
    s += "</head>\n";
    return s;
}

std::string bodyTag(const OptionBlock& options) {
    const int32_t back = options[BackColor];
    const int32_t fore = options[FontColorBasic];
    return SJ("<body id=\"oBody\" style=\"font-family: 'ＭＳ Ｐゴシック'; font-size: ") +
           text::format("%dpt\" bgcolor=\"#%02X%02X%02X\" text=\"#%02X%02X%02X\" >\n", options[FontSizeBasic],
                        back & 0xFF, (back >> 8) & 0xFF, (back >> 16) & 0xFF, fore & 0xFF, (fore >> 8) & 0xFF,
                        (fore >> 16) & 0xFF);
}

std::string articleHeading(const OptionBlock& options, const numbering::ArticleNumber& number,
                           const std::string& lawName) {
    if (number.number <= 0) return {};
    const std::string color = htmlColor(options[FontColorTop]);
    std::string s = "<div>\n" + f9(color) + SJ("第\n");
    s += f18(color) + text::format("%d\n", number.number) + "</font>\n" + SJ("条");
    if (number.branch1 > 0) {
        s += SJ("の\n") + f18(color) + text::format("%d\n", number.branch1) + "</font>\n";
        if (number.branch2 > 0) s += SJ("の\n") + f18(color) + text::format("%d\n", number.branch2) + "</font>\n";
    }
    s += lawNameLine(lawName) + "</font>\n</div>\n";
    return s;
}

std::string supplementaryHeading(const OptionBlock& options, const std::string& lawName) {
    const std::string color = htmlColor(options[FontColorTop]);
    return "<div>\n" + f9(color) + f18(color) + SJ("附則\n") + "</font>\n" + lawNameLine(lawName) + "</font>\n</div>\n";
}

std::string eraName(int eraCode) {
    switch (eraCode) {
        case 1:
            return SJ("明治");
        case 2:
            return SJ("大正");
        case 3:
            return SJ("昭和");
        case 4:
            return SJ("平成");
        default:
            return SJ("不明");
    }
}

std::string notificationHeading(const OptionBlock& options, const numbering::NotificationNumber& number,
                                const std::string& lawName) {
    const std::string color = htmlColor(options[FontColorTop]);
    std::string s = "<div>\n" + f9(color) + eraName(number.era) + "\n";
    s += f18c(color) + text::format("%d\n", number.year) + "</font>\n" + SJ("年\n");
    s += f18c(color) + text::format("%d\n", number.number) + "</font>\n" + SJ("号");
    s += lawNameLine(lawName) + "</font>\n</div>\n";
    return s;
}

std::string abolishedLawNotice(const std::string& idHN) {
    if (idHN == "10A")
        return SJ(
            "<p style=\"color:#FF0000\">この法律は、平成18年法律第91号（バリアフリー法）附則第2条第一号の規定により"
            "平成18年12月20日に廃止されました。本来ならば削除するところですが、参考用に収録しております。尚、"
            "すでに失効している法律ですので、ハイパーリンクの参照関係が適切でない場合があります。ご了承下さい。"
            "</p>");
    if (idHN == "10B")
        return SJ(
            "<p style=\"color:#FF0000\">この政令は、平成18年政令第379号（バリアフリー法施行令）附則第2条第一号の"
            "規定により平成18年12月20日に廃止されました。本来ならば削除するところですが、参考用に収録しており"
            "ます。尚、すでに失効している政令ですので、ハイパーリンクの参照関係が適切でない場合があります。"
            "ご了承下さい。</p>");
    if (idHN == "10C")
        return SJ(
            "<p style=\"color:#FF0000\">この省令は、平成18年国土交通省令第110号（バリアフリー法施行規則）附則第2条"
            "第一号の規定により平成18年12月20日に廃止されました。本来ならば削除するところですが、参考用に収録"
            "しております。尚、すでに失効している省令ですので、ハイパーリンクの参照関係が適切でない場合が"
            "あります。ご了承下さい。</p>");
    return {};
}

std::string largePageLink(const std::string& idFN) {
    return "<a href='http://" + idFN.substr(0, 12) + "_TAVREL" + "'>" +
           SJ("　⇒　ココをクリックすると全文が表示されます。（内容量が多いため表示に時間がかかる場合があります。）") +
           "</a>" + "</body>\n" + "</html>\n";
}

}  // namespace tavrel::render
