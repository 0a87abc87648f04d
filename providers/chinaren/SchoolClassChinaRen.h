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
    // Reads the class home page and writes "misc.htm" into the class folder
    // (ClassPageChinaRen.cpp).
    void UpdateClassInfo(int param) override;

    // Stores the pictures of text in the class's "images" folder and points
    // text at them; a picture that cannot be had becomes the missing one.
    void LocalizeImages(CString& text, CHttpClient* client);
};
