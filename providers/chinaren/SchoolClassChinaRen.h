// CSchoolClassChinaRen: a school class of a ChinaRen account.
#pragma once

#include "core/model/SchoolClass.h"

class CSchoolClassChinaRen : public CSchoolClass {
public:
    CSchoolClassChinaRen() = default;
    ~CSchoolClassChinaRen() override = default;

    // Creates the class's stores in its folder, in the order private,
    // message, picture, contact, and loads them; the message and picture
    // stores get a fresh verification key when they have none. A class whose
    // id could not name a folder gets no stores.
    void CreateStores() override;
};
