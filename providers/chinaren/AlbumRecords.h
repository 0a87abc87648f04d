// The album's data scripts: where the index page names them, the photo
// records ("pl") and comment records ("cl") in them, record times and the
// address of a photo's image. Functions of texts only.
#pragma once

#include "platform/base/String.h"

#include <unordered_map>
#include <string>
#include <vector>

class CPictureItemChinaRen;

namespace tavrin::chinaren {

// The photo data and comments script addresses between the tip script and
// the "classpic_" script of the index page; empty when not named.
void FindAlbumScripts(const CString& page, CString& dataUrl, CString& commentsUrl);

// The photo data script address that the delete confirmation reads: the
// first src between the tip script and the page's "location.reload();"
// script; empty when not named.
CString FindReloadDataScript(const CString& page);

// Whether the data script still holds the record of photo id ("pl[\"id\"]").
bool HoldsPhotoRecord(const CString& script, const CString& photoId);

// The photo records of the data script, by id as a number, highest first.
std::vector<CString> PhotoRecords(const CString& script);

// The record's fields into item; false for a record that does not match,
// whose id is not digits, whose extension is not 1 to 8 ASCII letters or
// digits, or whose HOST is neither a number nor -1.
bool ReadPhotoRecord(const CString& record, const CString& classId, CPictureItemChinaRen& item);

// A record time (milliseconds since 1970 as text) as local "%Y-%m-%d %H:%M".
CString RecordTime(const CString& crtm);

// Whether name is a digit id, a dot and an extension of 1 to 8 ASCII letters
// or digits: the only names that become files.
bool IsPhotoFileName(const CString& name);

// "http://" numbered host "/album/pic/..." for HOST, or the PURL for -1.
CString PhotoImageUrl(const CString& host, const CString& purl, const CString& extension, const CString& photoId,
                      const CString& classId);

// Whether a photo's image address may carry the sign-in cookie: one of the
// site's hosts or a numbered album image host.
bool IsAlbumPhotoUrl(const CString& url);

// The comments script indexed by photo id in one pass.
class AlbumComments {
public:
    explicit AlbumComments(const CString& script);
    // The photo's comment count and comment table; false when the script
    // names the photo nowhere. Writers and texts are cleaned.
    bool Find(const CString& photoId, CString& count, CString& html) const;

private:
    std::unordered_map<std::string, std::vector<CString>> m_byPhoto;
};

} // namespace tavrin::chinaren
