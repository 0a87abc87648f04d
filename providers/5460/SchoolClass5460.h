// CSchoolClass5460: a school class of a 5460 account.
#pragma once

#include "core/model/SchoolClass.h"

class CSchoolClass5460 : public CSchoolClass {
public:
    CSchoolClass5460() = default;
    ~CSchoolClass5460() override = default;

    // Reads the class page and writes "misc.htm" into the class folder.
    void UpdateClassInfo(int param) override;
    // Creates the class's stores in its folder and loads them. A class whose
    // id could not name a folder gets no stores.
    void CreateStores() override;
};
