// The album of class "301" on the simulated ChinaRen site, with the photo
// store created as the class creates it and helpers that run its operations
// on the store's pool while this thread serves the window.
#pragma once

#include "providers/chinaren/PictureStoreChinaRen.h"
#include "tests/providers/chinaren/ChinaRenFixture.h"
#include "tests/sim/Pictures.h"

#include <string>
#include <vector>

namespace tavrin::test {

// A photo of the simulated album: title "照片<id>" on numbered host 1.
sim::chinaren::AlbumPhoto Photo(const std::string& id, const std::string& ext = "jpg");
sim::chinaren::AlbumComment Comment(const std::string& photoId, const std::string& text);

class ChinaRenAlbumTest : public ChinaRenTest {
protected:
    ChinaRenAlbumTest();

    // The album in data script order and its comments.
    void SetAlbum(const std::vector<sim::chinaren::AlbumPhoto>& photos,
                  const std::vector<sim::chinaren::AlbumComment>& comments = {});
    void AddComments(const std::vector<sim::chinaren::AlbumComment>& comments);
    // Serves bytes at the photo's image address.
    void Publish(const sim::chinaren::AlbumPhoto& photo, const std::string& bytes);
    std::string ImageUrl(const sim::chinaren::AlbumPhoto& photo);
    // Starts an update on the store's pool and waits for its end.
    void Update(int mode, const std::vector<std::string>& custoIds = {});

    // Posted class events other than log lines since the last Mark, and
    // sent ones.
    void Mark();
    std::vector<int> Posted();
    std::vector<int> Sent();
    // The class log since the last Mark.
    std::vector<std::string> NewLog();

    // The saved picture.xml, and its elements' ids top down ("last:5").
    std::string SavedXml();
    std::vector<std::string> Elements();
    // The stored photo with this id; empty fields when there is none.
    CPictureItemChinaRen Stored(const std::string& id);
    std::string Pictures() { return (dir.Path() / ClassFolder("301") / "pictures").string(); }
    // custo_ids of the store's list, in list order.
    std::vector<std::string> Listed();

    CSchoolClassChinaRen* schoolClass = nullptr;
    CPictureStoreChinaRen* store = nullptr;

private:
    size_t m_postedFrom = 0;
    size_t m_sentFrom = 0;
    size_t m_logFrom = 0;
};

} // namespace tavrin::test
