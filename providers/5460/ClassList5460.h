// The 5460 class list: the classes of the welcome page and the class
// information page "misc.htm" of each class.
#pragma once

#include "platform/base/String.h"

#include <vector>

class CHttpClient;

namespace tavrin::p5460 {

// A class as the welcome page names it, with what its class page gave.
struct ClassEntry {
    CString id;
    CString schoolName;
    CString name;         // as the page has it, tags included
    CString displayName;  // the name without tags
    CString schoolId;
    bool pageRead = false;
};

// The classes of a welcome page in page order: links that do not give the
// three fields, unusable ids and repeated ids are left out.
std::vector<ClassEntry> ReadClassLinks(const CString& welcomePage);

// The eight values of the class information page, in template order, from a
// class page: as the class-list pass reads them (loginCount for the visit
// value) or as the class-information update does (loginCount not used).
enum class ClassPageReading { ClassList, ClassInfo };
std::vector<CString> ReadClassInfo(const CString& page, ClassPageReading reading, const CString& schoolName,
                                   const CString& className, const CString& loginCount);

// Fills the "misc.html" template with the values and writes "misc.htm" into
// the folder, unless the manager value is empty or the
// template is empty. True when written.
bool WriteClassInfoPage(const CString& templateText, const CString& folder, const std::vector<CString>& values);

} // namespace tavrin::p5460
