// What the headless engine knows of a loaded page: its charset, its links
// and its forms with their controls. A small tolerant scanner, not a
// renderer: enough to follow a link or submit a form as a browser would.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin::browser {

struct HtmlOption {
    std::string value; // the value attribute, else the text
    bool selected = false;
    bool disabled = false;
};

struct HtmlControl {
    std::string tag;  // "input", "textarea", "select", "button"
    std::string type; // lower case; "text" when absent on an input, "submit" on a button
    std::string name;
    std::string value;
    bool checked = false;
    bool disabled = false;
    bool multiple = false;
    std::vector<HtmlOption> options;
};

struct HtmlForm {
    std::string action;  // as written
    std::string method;  // lower case, "get" when absent
    std::string enctype; // lower case, the urlencoded type when absent or unknown
    std::vector<HtmlControl> controls;
};

struct HtmlLink {
    std::string href; // as written
    std::string text; // the link's text, white space collapsed
};

// Every text field is UTF-8; the page's own bytes are converted from its charset.
struct HtmlPage {
    std::string charset = "GBK"; // "GBK" or "UTF-8"
    std::vector<HtmlLink> links;
    std::vector<HtmlForm> forms;
};

// The charset a page declares in a meta element ("GBK" for the GB labels and
// for pages that declare none, as our pages are; "UTF-8" for UTF-8).
std::string DetectCharset(std::string_view bytes);
HtmlPage ParseHtml(std::string_view bytes);

} // namespace tavrin::browser
