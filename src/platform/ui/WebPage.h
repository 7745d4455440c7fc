#pragma once

#include "platform/foundation/URL.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// A page a web view shows: HTML parsed with libxml2's forgiving HTML parser, kept to answer the
// few scripts a page is asked (the title, an element's inner HTML) and to list its links.
class WebPage {
public:
    struct Link {
        std::string text;
        std::string href;
    };

    // Parses the bytes; a page that cannot be parsed at all is an empty page.
    WebPage(std::string_view html, fnd::Ref<fnd::URL>, std::string_view encoding = {});
    ~WebPage();
    WebPage(const WebPage&) = delete;
    WebPage& operator=(const WebPage&) = delete;

    const fnd::Ref<fnd::URL>& url() const { return m_url; }
    std::string title() const;
    // The inner HTML of the element with the id, or "" when there is none.
    std::string innerHTMLOfElementWithID(std::string_view id) const;
    // The visible text of the body, blanks collapsed, one line per block.
    std::string text() const;
    const std::vector<Link>& links() const { return m_links; }

    // "document.title" and "document.getElementById('x').innerHTML" (either quote, an optional
    // semicolon); any other script answers "", as a failed script does.
    std::string evaluateScript(std::string_view) const;

private:
    void collectLinks();

    struct Document;
    std::unique_ptr<Document> m_document;
    fnd::Ref<fnd::URL> m_url;
    std::vector<Link> m_links;
};

}
