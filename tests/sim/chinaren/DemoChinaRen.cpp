#include "tests/sim/chinaren/SiteChinaRen.h"

namespace tavrin::sim::chinaren {

void SeedDemo(Site& site)
{
    site.Edit([](Data& d) {
        User demo;
        demo.name = "crdemo";
        demo.password = "demo";
        demo.realName = "陈晨";
        demo.classIds = {"c8801", "c8802"};
        d.users.push_back(demo);

        Class& a = d.AddClass("c8801");
        a.schoolId = "s501";
        a.schoolName = "上海市实验中学";
        a.name = "初三(4)班";

        Class& b = d.AddClass("c8802");
        b.schoolId = "s502";
        b.schoolName = "复旦大学";
        b.name = "物理系2001级";
    });
}

} // namespace tavrin::sim::chinaren
