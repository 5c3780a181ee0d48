#include <libxml/HTMLparser.h>
#include <libxml/encoding.h>

#include <memory>
#include <vector>

#include "core/import/Readers.h"
#include "text/Utf8.h"

namespace brim::core::import {
namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

std::size_t countOf(const std::string& haystack, std::string_view needle) {
    std::size_t n = 0;
    for (auto at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1))
        ++n;
    return n;
}

std::string trimmed(std::string s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

std::string textOf(xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string s = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return trimmed(std::move(s));
}

// The text of a <DD> up to its first element: a parser that recovers from
// the format's unclosed tags may have put later entries inside it.
std::string descriptionOf(xmlNode* dd) {
    std::string s;
    for (xmlNode* c = dd->children; c && c->type != XML_ELEMENT_NODE; c = c->next) {
        if (c->type == XML_TEXT_NODE && c->content) s += reinterpret_cast<const char*>(c->content);
    }
    return trimmed(std::move(s));
}

std::string attribute(xmlNode* node, const char* name) {
    xmlChar* v = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string s = v ? reinterpret_cast<const char*>(v) : "";
    xmlFree(v);
    return s;
}

bool isElement(xmlNode* n, const char* name) {
    return n->type == XML_ELEMENT_NODE && lower(reinterpret_cast<const char*>(n->name)) == name;
}

// Walks the document in order. The parser nests the format's unclosed <DT>
// and <P> tags unpredictably, but keeps each <DL> around its own entries, so
// the walk follows the lists: an <H3> names the next list, a <DL> opens a
// folder, an <A> is a bookmark of the innermost list, a <DD> describes the
// bookmark before it. A folder's vectors grow only while it is the
// innermost list, so the pointers on the stack stay valid.
class Walker {
  public:
    explicit Walker(BookmarkFolder& root) { stack_.push_back(&root); }

    void walk(xmlNode* n, int depth) {
        for (; n; n = n->next) {
            if (isElement(n, "dl")) {
                if (depth > 200) continue;  // nested past any real tree: ignored
                BookmarkFolder* current = stack_.back();
                BookmarkFolder* folder = current;
                if (seenFirstList_) {
                    current->folders.push_back({});
                    folder = &current->folders.back();
                    folder->name = std::move(pendingName_);
                }
                seenFirstList_ = true;
                pendingName_.clear();
                last_ = nullptr;
                stack_.push_back(folder);
                walk(n->children, depth + 1);
                stack_.pop_back();
                last_ = nullptr;
                continue;
            }
            if (isElement(n, "h3")) {
                pendingName_ = textOf(n);
                continue;
            }
            if (isElement(n, "a") && seenFirstList_) {
                Bookmark b{textOf(n), trimmed(attribute(n, "href")), {}};
                std::string tags = attribute(n, "tags");
                for (char& c : tags) {
                    if (c == ',') c = ' ';
                }
                b.comment = trimmed(tags);
                stack_.back()->bookmarks.push_back(std::move(b));
                last_ = &stack_.back()->bookmarks.back();
                continue;
            }
            if (isElement(n, "dd")) {
                if (last_) {
                    const std::string d = descriptionOf(n);
                    if (!d.empty())
                        last_->comment = last_->comment.empty() ? d : d + " " + last_->comment;
                    last_ = nullptr;
                }
                walk(n->children, depth + 1);
                continue;
            }
            walk(n->children, depth + 1);
        }
    }

  private:
    std::vector<BookmarkFolder*> stack_;
    std::string pendingName_;
    Bookmark* last_ = nullptr;
    bool seenFirstList_ = false;
};

// The charset a <META> tag names ("charset=NAME"), empty when none does.
std::string declaredCharset(const std::string& lowered) {
    const auto at = lowered.find("charset=");
    if (at == std::string::npos) return {};
    std::size_t from = at + 8;
    if (from < lowered.size() && (lowered[from] == '"' || lowered[from] == '\'')) ++from;
    const auto end = lowered.find_first_of("\"'; \t\r\n>/", from);
    return lowered.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

// Whether the parser can turn `charset` into UTF-8. Left to itself it reads
// a charset it has no converter for as nothing at all.
bool canDecode(const std::string& charset) {
    xmlCharEncodingHandler* handler = xmlFindCharEncodingHandler(charset.c_str());
    if (!handler) return false;
    xmlCharEncCloseFunc(handler);
    return true;
}

}  // namespace

ReadResult ReadNetscapeBookmarks(std::string_view html) {
    ReadResult result;
    const std::string low = lower(html);
    if (low.find("netscape-bookmark-file-1") == std::string::npos) {
        result.error = "not a bookmark file (no NETSCAPE-Bookmark-file-1 header)";
        return result;
    }
    // A file cut short loses the ends of its lists; a whole one closes each.
    if (countOf(low, "<dl") == 0 || countOf(low, "<dl") != countOf(low, "</dl")) {
        result.error = "the bookmark file is damaged or cut short (its lists are not closed)";
        return result;
    }
    if (html.size() > static_cast<std::size_t>(INT32_MAX)) {
        result.error = "the bookmark file is too large";
        return result;
    }
    // Brimmark and the browsers write UTF-8; a file that is not UTF-8 says
    // its charset in a <META> tag, which the parser follows.
    const bool isUtf8 = utf8::isValid(html);
    if (const std::string charset = declaredCharset(low);
        !isUtf8 && !charset.empty() && !canDecode(charset)) {
        result.error = "the bookmark file is in " + charset + ", a charset this build cannot read";
        return result;
    }
    const char* encoding = isUtf8 ? "UTF-8" : nullptr;
    std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc(
        htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, encoding,
                       HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                           HTML_PARSE_NONET | HTML_PARSE_NOBLANKS),
        xmlFreeDoc);
    if (!doc) {
        result.error = "the bookmark file cannot be parsed";
        return result;
    }
    BookmarkFolder tree;
    Walker(tree).walk(xmlDocGetRootElement(doc.get()), 0);
    result.tree = std::move(tree);
    return result;
}

}  // namespace brim::core::import
