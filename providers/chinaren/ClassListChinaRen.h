// The ChinaRen class list: the classes the site's home page links to.
#pragma once

#include "platform/base/String.h"

#include <vector>

namespace tavrin::chinaren {

// A class as a home-page link pair names it.
struct ClassLink {
    CString schoolId;
    CString schoolName;
    CString id;
    CString name;  // without markup
};

// The class links of the home page, in page order; a class id met before is
// left out.
std::vector<ClassLink> ReadClassLinks(const CString& homePage);

} // namespace tavrin::chinaren
