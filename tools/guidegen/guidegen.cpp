// guidegen SOURCE VERSION TEXT_OUT HTML_OUT
//
// Turns the installation guide, written once in a small part of Markdown,
// into the two forms the release package carries: plain text (CRLF line
// ends, for any Windows editor) and HTML. Both come from one parse, so they
// cannot say different things. "@VERSION@" in the source becomes VERSION.
//
// The Markdown understood: "# ", "## ", "### " headings; paragraphs of
// consecutive lines; "- " list items (continued by lines indented two
// spaces); code blocks of lines indented four spaces; `code` within text.
// Anything else is a line of a paragraph.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/html_text.h"

namespace {

using devhost::htmlEscaped;

constexpr size_t textWidth = 76;

struct Block {
    enum Kind { Heading1, Heading2, Heading3, Paragraph, Item, Code } kind;
    std::string text;  // paragraphs and items joined into one line; code with its line ends
};

bool startsWith(std::string_view line, std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; }

std::vector<Block> parse(std::istream& in, const std::string& version)
{
    std::vector<Block> blocks;
    std::string line;
    bool open = false;  // the last block takes further lines
    while (std::getline(in, line)) {
        for (size_t at; (at = line.find("@VERSION@")) != std::string::npos;)
            line.replace(at, 9, version);
        const bool inCode = open && blocks.back().kind == Block::Code;
        if (line.empty()) {
            // A blank line ends anything but a code block.
            if (inCode)
                blocks.back().text += "\n";
            open = inCode;
            continue;
        }
        if (startsWith(line, "    ") && (!open || inCode)) {
            if (!inCode)
                blocks.push_back({Block::Code, ""});
            blocks.back().text += line.substr(4) + "\n";
            open = true;
            continue;
        }
        if (startsWith(line, "### ")) {
            blocks.push_back({Block::Heading3, line.substr(4)});
            open = false;
        } else if (startsWith(line, "## ")) {
            blocks.push_back({Block::Heading2, line.substr(3)});
            open = false;
        } else if (startsWith(line, "# ")) {
            blocks.push_back({Block::Heading1, line.substr(2)});
            open = false;
        } else if (startsWith(line, "- ")) {
            blocks.push_back({Block::Item, line.substr(2)});
            open = true;
        } else if (open && !inCode) {
            const size_t first = line.find_first_not_of(' ');
            blocks.back().text += " " + line.substr(first);
        } else {
            blocks.push_back({Block::Paragraph, line});
            open = true;
        }
    }
    // A code block ends at its last line, not at the blank lines after it.
    for (Block& b : blocks)
        if (b.kind == Block::Code)
            b.text.erase(b.text.find_last_not_of('\n') + 1);
    return blocks;
}

std::string withoutBackquotes(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (c != '`')
            out += c;
    return out;
}

// Words filled into lines of at most textWidth characters after the
// indent; a word longer than a line stands alone.
std::string wrap(const std::string& text, const std::string& first, const std::string& rest)
{
    std::istringstream words(text);
    std::string out, line = first, word;
    bool empty = true;
    while (words >> word) {
        if (!empty && line.size() + 1 + word.size() > textWidth) {
            out += line + "\r\n";
            line = rest;
            empty = true;
        }
        line += (empty ? "" : " ") + word;
        empty = false;
    }
    return out + line + "\r\n";
}

std::string plainText(const std::vector<Block>& blocks)
{
    std::string out;
    Block::Kind previous = Block::Paragraph;
    for (const Block& b : blocks) {
        const std::string text = withoutBackquotes(b.text);
        if (!out.empty() && !(b.kind == Block::Item && previous == Block::Item))
            out += "\r\n";
        switch (b.kind) {
        case Block::Heading1: out += text + "\r\n" + std::string(text.size(), '=') + "\r\n"; break;
        case Block::Heading2: out += text + "\r\n" + std::string(text.size(), '-') + "\r\n"; break;
        case Block::Heading3: out += text + "\r\n"; break;
        case Block::Paragraph: out += wrap(text, "", ""); break;
        case Block::Item: out += wrap(text, "  - ", "    "); break;
        case Block::Code: {
            std::istringstream lines(b.text);
            for (std::string line; std::getline(lines, line);)
                out += (line.empty() ? "" : "    " + line) + "\r\n";
            break;
        }
        }
        previous = b.kind;
    }
    return out;
}


// Text with `code` spans; an unpaired backquote stays as it is.
std::string inlineHtml(const std::string& text)
{
    std::string out;
    size_t at = 0;
    for (size_t open; (open = text.find('`', at)) != std::string::npos;) {
        const size_t close = text.find('`', open + 1);
        if (close == std::string::npos)
            break;
        out += htmlEscaped(text.substr(at, open - at)) + "<code>" + htmlEscaped(text.substr(open + 1, close - open - 1)) +
               "</code>";
        at = close + 1;
    }
    return out + htmlEscaped(text.substr(at));
}

std::string html(const std::vector<Block>& blocks)
{
    std::string title = blocks.empty() ? "" : withoutBackquotes(blocks.front().text);
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + htmlEscaped(title) +
                      "</title>\n<style>\nbody { font-family: sans-serif; max-width: 50em; margin: 2em auto; line-height: "
                      "1.4; }\npre, code { background: #f2f2f2; }\npre { padding: 0.5em; overflow-x: auto; }\n</style>\n"
                      "</head>\n<body>\n";
    bool inList = false;
    for (const Block& b : blocks) {
        if (inList && b.kind != Block::Item) {
            out += "</ul>\n";
            inList = false;
        }
        switch (b.kind) {
        case Block::Heading1: out += "<h1>" + inlineHtml(b.text) + "</h1>\n"; break;
        case Block::Heading2: out += "<h2>" + inlineHtml(b.text) + "</h2>\n"; break;
        case Block::Heading3: out += "<h3>" + inlineHtml(b.text) + "</h3>\n"; break;
        case Block::Paragraph: out += "<p>" + inlineHtml(b.text) + "</p>\n"; break;
        case Block::Item:
            if (!inList)
                out += "<ul>\n";
            inList = true;
            out += "<li>" + inlineHtml(b.text) + "</li>\n";
            break;
        case Block::Code: out += "<pre>" + htmlEscaped(b.text) + "</pre>\n"; break;
        }
    }
    if (inList)
        out += "</ul>\n";
    return out + "</body>\n</html>\n";
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
    const std::vector<Block> blocks = parse(in, argv[2]);
    return write(argv[3], plainText(blocks)) && write(argv[4], html(blocks)) ? 0 : 1;
}
