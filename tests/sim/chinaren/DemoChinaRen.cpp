#include "tests/sim/chinaren/SiteChinaRen.h"

#include <string>

namespace tavrin::sim::chinaren {

void SeedDemo(Site& site)
{
    site.Edit([](Data& d) {
        User demo;
        demo.name = "crdemo";
        demo.password = "demo";
        demo.realName = "陈晨";
        demo.classIds = {"8801", "8802"};
        d.users.push_back(demo);

        Class& a = d.AddClass("8801");
        a.schoolId = "501";
        a.schoolName = "上海市实验中学";
        a.name = "初三(4)班";
        // Its album: the images are the simulator's generated pictures.
        const char* const titles[] = {"毕业合影", "春游", "运动会"};
        for (int i = 0; i < 3; ++i) {
            AlbumPhoto p;
            p.id = std::to_string(201 + i);
            p.realName = "陈晨";
            p.title = titles[i];
            p.intro = std::string("还记得") + titles[i] + "吗？";
            p.crtm = std::to_string(1117584000000LL + i * 86400000LL);
            p.clicks = std::to_string(10 * (i + 1));
            a.album.push_back(p);
        }
        AlbumComment k;
        k.photoId = "201";
        k.realName = "王芳";
        k.text = "大家都没变！";
        a.albumComments.push_back(k);

        Class& b = d.AddClass("8802");
        b.schoolId = "502";
        b.schoolName = "复旦大学";
        b.name = "物理系2001级";
    });
}

} // namespace tavrin::sim::chinaren
