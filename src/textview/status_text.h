// The status-bar text shown while the mouse is over a link of a law page:
// support-site addresses get a sentence of their own, the design-data pages
// their titles, and page links a description of the target page.
#pragma once

#include <optional>
#include <string>

#include "document/options.h"

namespace tavrel {
class Document;
}

namespace tavrel::textview {

// Addresses of the installation that the mapping recognises (ASCII); an
// empty one is recognised nowhere.
struct SiteAddresses {
    std::string programHistory;         // prefix of the program-history pages
    std::string lawRevisions;           // the law revision page
    std::string notificationRevisions;  // the notification revision page
    std::string top;                    // the support site's top page
    std::string mail;                   // the author's mail link ("mailto:…")
};
// The links of the installation's support addresses (settings section "Support").
SiteAddresses siteAddresses(const SupportAddresses& support);

// What the description of a target page needs from the document (CP932).
class PageDescriptions {
  public:
    virtual ~PageDescriptions() = default;
    virtual std::string lawShortName(const std::string& idHN) const = 0;
    virtual std::optional<std::string> articleHeading(const std::string& idFN) const = 0;
    virtual std::optional<std::string> notificationTitle(const std::string& idFN) const = 0;
    virtual std::optional<std::string> tableTitle(const std::string& idFN) const = 0;
    // The article table's caption; empty when absent.
    virtual std::string caption(const std::string& idFN) const = 0;
    // Page number and count of a split page; false when not split.
    virtual bool splitPage(const std::string& idFN, int& number, int& count) const = 0;
};

// The descriptions taken from the open document.
class DocumentPageDescriptions : public PageDescriptions {
  public:
    explicit DocumentPageDescriptions(const Document& doc) : doc_(doc) {}
    std::string lawShortName(const std::string& idHN) const override;
    std::optional<std::string> articleHeading(const std::string& idFN) const override;
    std::optional<std::string> notificationTitle(const std::string& idFN) const override;
    std::optional<std::string> tableTitle(const std::string& idFN) const override;
    std::string caption(const std::string& idFN) const override;
    bool splitPage(const std::string& idFN, int& number, int& count) const override;

  private:
    const Document& doc_;
};

// Longest caption shown whole, in bytes.
inline constexpr size_t kStatusCaptionLimit = 180;

// Description of the page a "_TAVREL" link points at (CP932); empty when the
// target is not a known kind of page, a special page, or its title is missing.
std::string describePageLink(const std::string& url, const PageDescriptions& pages);

// The status text to show for a status text the browser reports (CP932).
std::string statusTextFor(const std::string& status, const SiteAddresses& sites, const PageDescriptions& pages);

}  // namespace tavrel::textview
