// The 5460 photo album of class "301" against the simulator: real JPEG and
// GIF photos, the store created as the class creates it, and helpers that run
// its operations on the store's pool while this thread serves the window.
#pragma once

#include "providers/5460/PictureStore5460.h"
#include "tests/providers/5460/ProviderFixture.h"
#include "tests/sim/Pictures.h"
#include "tests/sim/Scenario.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tavrin::test {

// Width and height of a picture file; 0 x 0 when it does not decode.
std::pair<int, int> PictureSize(const std::string& path);

// A photo of the simulated album: id n, comment page number n + 500, its
// image on the image host.
sim::Photo MakePhoto(int n, int comments = 0);

// One element of "picture.xml" as the tests read it.
struct StoredPhoto {
    std::string tag; // "item" or "last"
    std::string custoId, id, read, smallId, status;
    std::string click, commentNum, uploadTime, title, uploadUser;
    std::string comment, commentId, description, fileName, url, rank;
};

// The values a filled page assigns in its data block, unescaped.
std::map<std::string, std::string> ScriptValues(const CString& page);

class PhotoTest : public Provider5460Test {
protected:
    PhotoTest();

    CPictureStore5460* Photos(CSchoolClass* schoolClass);
    // Seeds the album of class "301" (newest first) and the images' files.
    void SeedPhotos(const std::vector<sim::Photo>& photos, int perPage = 12);

    // Pumps this thread's messages until done holds; false after a safety
    // limit.
    bool PumpUntil(const std::function<bool()>& done);
    // Runs one update on the store's pool and waits for its end.
    void Update(int mode, const std::vector<std::string>& ids = {});
    // Posted class events other than log lines, and sent ones.
    std::vector<int> Posted();
    std::vector<int> Sent();
    int PostedCount(int code);

    std::vector<StoredPhoto> Document();
    // Writes elements into the document, in this order, and reloads the list.
    void StorePhotos(const std::vector<StoredPhoto>& photos);

    std::string Pictures() { return ClassFolder("301") + "/pictures"; }
    bool Logged(const std::string& line);
    size_t Requests(const std::string& path) { return sim.Count(path); }

    CSchoolClass5460* schoolClass = nullptr;
    CPictureStore5460* store = nullptr;
};

} // namespace tavrin::test
