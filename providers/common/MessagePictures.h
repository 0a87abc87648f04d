// The pictures of stored messages, shared by the providers' message boards:
// each absolute picture is fetched once into the class's "images" folder and
// the content points at the copy, or at the missing picture; in a photo
// notice every picture is wrapped in a "tavrin:" link to the photo it shows.
#pragma once

#include "platform/base/String.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

class CHttpClient;

namespace tavrin {

// The link around a notice's picture, and the test the sanitiser admits it by.
CString PhotoLink(const CString& photoId, const CString& tag);
bool IsPhotoLinkAddress(std::string_view href);

// The photo links of a notice as the board sent it: the photo each link
// names, by the address of every picture inside the link, and all of them in
// order. linkPattern's group 1 is the photo id, group 2 what the link holds.
struct NoticeLinks {
    std::map<std::string, CString> byAddress;
    std::vector<CString> ids;
};
NoticeLinks ReadNoticeLinks(const CString& raw, const char* linkPattern);

struct PictureSite {
    CString folder;              // the class's "images" folder
    const char* missingPicture;  // the page's source for a picture not had
    bool (*providerUrl)(const CString&);
};

// Localises the pictures of content. With notice, each picture is linked to
// its own photo: the link that held it, else the id its name gives ("s_"
// and digits), else the notice's only link; a photo id is digits or nothing.
// Pictures already in the folder are not fetched; a stop leaves the rest of
// the addresses as they are.
void LocalizeMessagePictures(CString& content, CHttpClient& client, const PictureSite& site,
                             const NoticeLinks* notice);

} // namespace tavrin
