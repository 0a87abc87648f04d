// The ChinaRen class information page: the eleven values of the class home
// page that "misc.htm" shows.
#pragma once

#include "platform/base/String.h"

#include <vector>

namespace tavrin::chinaren {

// Positions of the values that hold HTML.
enum ClassPageValue {
    kClassHeading = 0,
    kFounder = 4,
    kHomePage = 6,
    kBirthdays = 8,
    kOnline = 9,
    kAnnouncement = 10,
    kClassPageValues = 11,
};

// The eleven values in template order, with the page's own rewrites done
// (the announcement's pictures are not localised yet, nothing is cleaned).
std::vector<CString> ReadClassPageValues(const CString& page);

// Removes what the sanitiser would not let through and keeps exactly the
// program's own additions (see ClassPageChinaRen.cpp); the last step before
// a value enters the page.
CString CleanClassPageHtml(const CString& html);

// Where the site's pictures, icons and sounds are found locally.
inline constexpr char kStyleImages[] = "../../../styles/chinaren/default/images/";
inline constexpr char kMissingPicture[] = "../../../styles/chinaren/default/images/s_missing.png";
// What the announcement's pictures carry in place of the site's handler.
inline constexpr char kSwapSize[] =
    "style=\"CURSOR: pointer\" onload=\"javascript:swap_size(this)\" onclick=\"swap_size(this)\" "
    "onmousewheel=\"bbimg(this)\"";

} // namespace tavrin::chinaren
