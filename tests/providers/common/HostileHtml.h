// Hostile remote HTML and what the sanitiser makes of it; the provider tests
// also run every input through a whole update and page.
#pragma once

namespace tavrin::test {

struct SanitizerCase {
    const char* in;
    const char* out;
};

inline constexpr SanitizerCase kDroppedHtml[] = {
    {"a<script>alert(1)</script>b", "ab"},
    {"a<ScRiPt src=x></sCrIpT >b", "ab"},
    {"a<style>body{}</style>b<STYLE/>c", "abc"},
    {"<iframe src=http://x></iframe><object data=x><param></object><embed src=x>", ""},
    {"<form action=http://x><input name=a>文</form>", "文"},
    {"<meta http-equiv=refresh content=0>text", "text"},
    {"<img src=http://x/a.gif onerror=alert(1) ONLOAD=\"y\">", "<img src=http://x/a.gif>"},
    {"<b onmouseover='x' style=\"color:red\" id=content>t</b>", "<b>t</b>"},
    {"<a href=\"javascript:alert(1)\">x</a>", "<a>x</a>"},
    {"<a href=\" JaVaScRiPt:alert(1)\">x</a>", "<a>x</a>"},
    {"<a href=\"java&#x09;script:alert(1)\">x</a>", "<a>x</a>"},
    {"<a href=\"javascript&colon;alert(1)\">x</a>", "<a>x</a>"},
    {"<a href=\"&#106;avascript:alert(1)\">x</a>", "<a>x</a>"},
    {"<a href=\"javascript&#0000000058;alert(1)\">x</a>", "<a>x</a>"},
    {"<a href=\"&#x000000006A;avascript&#X00003a;alert(1)\">x</a>", "<a>x</a>"},
    {"<a href=\"/a&#99999999999999999999;:b\">x</a>", "<a href=\"/a&#99999999999999999999;:b\">x</a>"},
    {"<a href=vbscript:msgbox>x</a>", "<a>x</a>"},
    {"<img src=\"data:image/gif;base64,AAAA\">", "<img>"},
    {"<a href=\"tavrin:点击查看编号[1]的照片\">x</a>", "<a>x</a>"},
    {"<a href=\"file:///etc/passwd\">x</a>", "<a>x</a>"},
    {"<!-- c --><!--[if IE]><script>x</script><![endif]-->t", "t"},
    {"<!DOCTYPE html><?xml x?>t", "t"},
    {"<img/src=http://x/a.gif/onerror=alert(1)>", "<img src=http://x/a.gif/onerror=alert(1)>"},
    {"<img src=\"http://x/a.gif\"onerror=alert(1)>", "<img src=\"http://x/a.gif\">"},
    {"<a title=\"t\"href=\"http://x\">x</a>", "<a title=\"t\"href=\"http://x\">x</a>"},
    // An unquoted value ending in a quote, then a dropped attribute: the
    // next one must not join the value, or the browser would read the
    // quoted text after it as attributes.
    {"<a href=a=\" on=\"x\"/title=\" onmouseover=alert(1) x\">t</a>",
     "<a href=a=\" title=\" onmouseover=alert(1) x\">t</a>"},
    {"<scr<script>x</script>ipt>", "xipt>"},
    {"1 < 2 <3", "1 &lt; 2 &lt;3"},
    {"<b title=\"unclosed>", "&lt;b title=\"unclosed>"},
    // An unclosed tag runs to the end: a browser sees no tag after it.
    {"<b>x</b><a title='y <i>z</i>", "<b>x</b>&lt;a title='y &lt;i>z&lt;/i>"},
    {"<script>never closed", ""},
    {"</script></div></x>", "</div>"},
};

// A browser reads a lead byte before '<' as a broken character and the '<' as
// markup, so the tag must be seen here too.
inline constexpr SanitizerCase kLeadByteHtml[] = {
    {"\xB0<script>alert(1)</script>", "\xB0"},
    {"\x81<img src=x onerror=alert(1)>", "\x81<img src=x>"},
    {"\xFE<!--x-->\xD5\xD5", "\xFE\xD5\xD5"},
    {"\xB0\x5C<b>", "\xB0\x5C<b>"},
    {"\x81", "\x81"},
};

} // namespace tavrin::test
