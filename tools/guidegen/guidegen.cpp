// guidegen SOURCE VERSION TEXT_OUT HTML_OUT
//
// Turns the installation guide, written once in Markdown, into the two
// forms the release package carries: plain text (CRLF line ends, for any
// Windows editor) and HTML. Both come from one parse (libcmark), so they
// cannot say different things. "@VERSION@" in the source becomes VERSION.
//
// The plain text knows what the guide uses: headings (the first two levels
// underlined), paragraphs and list items filled to 76 columns, code blocks
// indented; `code` and emphasis lose their marks.
#include <cmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "devhost/core/html_text.h"

namespace {

using devhost::htmlEscaped;

constexpr size_t TextWidth = 76;

struct NodeRelease {
    void operator()(cmark_node* node) const { cmark_node_free(node); }
};
using Document = std::unique_ptr<cmark_node, NodeRelease>;

// The words of a block's inline content, marks dropped, line breaks as spaces.
std::string inlineText(cmark_node* node)
{
    std::string out;
    for (cmark_node* child = cmark_node_first_child(node); child; child = cmark_node_next(child)) {
        switch (cmark_node_get_type(child)) {
        case CMARK_NODE_TEXT:
        case CMARK_NODE_CODE: out += cmark_node_get_literal(child); break;
        case CMARK_NODE_SOFTBREAK:
        case CMARK_NODE_LINEBREAK: out += ' '; break;
        default: out += inlineText(child);
        }
    }
    return out;
}

// Words filled into lines of at most TextWidth characters after the
// indent; a word longer than a line stands alone.
std::string wrap(const std::string& text, const std::string& first, const std::string& rest)
{
    std::istringstream words(text);
    std::string out, line = first, word;
    bool empty = true;
    while (words >> word) {
        if (!empty && line.size() + 1 + word.size() > TextWidth) {
            out += line + "\r\n";
            line = rest;
            empty = true;
        }
        line += (empty ? "" : " ") + word;
        empty = false;
    }
    return out + line + "\r\n";
}

// The document's blocks, a blank line between them but not between the
// items of one list.
std::string plainText(cmark_node* document)
{
    std::string out;
    auto separate = [&out] {
        if (!out.empty())
            out += "\r\n";
    };
    for (cmark_node* block = cmark_node_first_child(document); block; block = cmark_node_next(block)) {
        switch (cmark_node_get_type(block)) {
        case CMARK_NODE_HEADING: {
            const std::string text = inlineText(block);
            const int level = cmark_node_get_heading_level(block);
            separate();
            out += text + "\r\n";
            if (level <= 2)
                out += std::string(text.size(), level == 1 ? '=' : '-') + "\r\n";
            break;
        }
        case CMARK_NODE_LIST:
            separate();
            for (cmark_node* item = cmark_node_first_child(block); item; item = cmark_node_next(item))
                out += wrap(inlineText(cmark_node_first_child(item)), "  - ", "    ");
            break;
        case CMARK_NODE_CODE_BLOCK: {
            separate();
            std::istringstream lines(cmark_node_get_literal(block));
            for (std::string line; std::getline(lines, line);)
                out += (line.empty() ? "" : "    " + line) + "\r\n";
            break;
        }
        default:
            separate();
            out += wrap(inlineText(block), "", "");
        }
    }
    return out;
}

std::string html(cmark_node* document)
{
    cmark_node* first = cmark_node_first_child(document);
    const std::string title = first ? inlineText(first) : "";
    std::unique_ptr<char, decltype(&std::free)> body(cmark_render_html(document, CMARK_OPT_DEFAULT), std::free);
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + htmlEscaped(title) +
           "</title>\n<style>\nbody { font-family: sans-serif; max-width: 50em; margin: 2em auto; line-height: "
           "1.4; }\npre, code { background: #f2f2f2; }\npre { padding: 0.5em; overflow-x: auto; }\n</style>\n"
           "</head>\n<body>\n" +
           body.get() + "</body>\n</html>\n";
}

bool write(const char* path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (out.flush())
        return true;
    std::fprintf(stderr, "guidegen: cannot write %s\n", path);
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: guidegen SOURCE VERSION TEXT_OUT HTML_OUT\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "guidegen: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    constexpr std::string_view Version = "@VERSION@";
    for (size_t at; (at = source.find(Version)) != std::string::npos;)
        source.replace(at, Version.size(), argv[2]);
    const Document document(cmark_parse_document(source.data(), source.size(), CMARK_OPT_DEFAULT));
    return write(argv[3], plainText(document.get())) && write(argv[4], html(document.get())) ? 0 : 1;
}
