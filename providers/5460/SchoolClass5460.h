// CSchoolClass5460: a school class of a 5460 account.
#pragma once

#include "core/model/SchoolClass.h"

class CSchoolClass5460 : public CSchoolClass {
public:
    CSchoolClass5460() = default;
    ~CSchoolClass5460() override = default;

    // Creates the class's stores in its folder and loads them.
    void CreateStores() override;
};
