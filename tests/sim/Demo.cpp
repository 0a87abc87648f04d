#include "tests/sim/Demo.h"

namespace tavrin::sim {

void SeedDemo(Simulator& sim)
{
    sim.Edit([](Scenario& s) {
        User demo;
        demo.name = "demo";
        demo.password = "demo";
        demo.realName = "李明";
        demo.userId = "100001";
        demo.loginCount = 7;
        demo.classIds = {"20001", "20002"};
        s.users.push_back(demo);

        SchoolClass& a = s.Class("20001");
        a.schoolName = "北京市第一中学";
        a.schoolId = "3001";
        a.name = "<b>高三(2)班</b>";
        a.slogan = "友谊长存";
        a.manager = "李明";
        a.deputy = "王芳";
        a.visitCount = "1024";
        const char* names[] = {"李明", "王芳", "张伟", "刘洋"};
        for (int i = 0; i < 4; ++i) {
            Member m;
            m.realName = names[i];
            m.icon = std::to_string(i + 1);
            m.id = std::to_string(100001 + i);
            m.phone = "010-6" + std::to_string(1000000 + i);
            m.oicq = std::to_string(80000 + i);
            m.mobile = "1390000000" + std::to_string(i);
            m.company = "某某公司";
            m.address = "北京市海淀区";
            m.email = "user" + std::to_string(i) + "@example.com";
            m.intro = "大家好，我是" + std::string(names[i]) + "。";
            m.visitCount = std::to_string(10 + i);
            m.registered = "2005-09-0" + std::to_string(i + 1);
            m.lastVisit = "2006-06-0" + std::to_string(i + 1) + " 21:30";
            m.membership = i == 0 ? "正管" : "成员";
            a.members.push_back(m);
        }
        a.messages = DemoMessages();

        SchoolClass& b = s.Class("20002");
        b.schoolName = "北京大学";
        b.schoolId = "4001";
        b.name = "计算机系2002级";
        b.manager = "赵磊";
        Member m;
        m.realName = "李明";
        m.id = "100001";
        b.members.push_back(m);
    });
}

} // namespace tavrin::sim
