#include "tests/sim/chinaren/SiteChinaRen.h"

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

        Class& b = d.AddClass("8802");
        b.schoolId = "502";
        b.schoolName = "复旦大学";
        b.name = "物理系2001级";
    });
}

} // namespace tavrin::sim::chinaren
