// The demo class's message board: a pinned notice, a message with replies, a
// photo notice and enough plain messages for two list pages.
#include "tests/sim/Demo.h"

namespace tavrin::sim {

std::vector<Message> DemoMessages()
{
    std::vector<Message> board;
    Message pinned;
    pinned.id = "5001";
    pinned.title = "班级聚会通知";
    pinned.time = "2006-05-01 09:00";
    pinned.content = "七月一日晚六点，老地方见。<br>请大家回复是否参加。";
    pinned.user = "李明";
    pinned.userId = "100001";
    pinned.pinned = true;
    pinned.replies = {{"6001", "2006-05-02 10:00", "一定到！", "王芳", "100002"},
                      {"6002", "2006-05-03 11:30", "我带相机。", "张伟", "100003"}};
    board.push_back(pinned);

    Message photo;
    photo.id = "5020";
    photo.title = "新照片通知.";
    photo.time = "2006-06-20 20:00";
    photo.content = "<a href=/gy5460/jsp/picture/pictureDetail.jsp?picID=7001&classID=20001>"
                    "<img src=\"http://image.5460.net/photo/s_7001.jpg\" border=0></a>";
    photo.user = "王芳";
    photo.userId = "100002";
    board.push_back(photo);

    for (int i = 19; i >= 2; --i) {
        Message m;
        m.id = std::to_string(5000 + i);
        m.title = "近况 " + std::to_string(i);
        m.time = "2006-06-" + std::string(i < 10 ? "0" : "") + std::to_string(i) + " 21:00";
        m.content = "最近还好吗？这是第" + std::to_string(i) + "条留言。";
        m.user = i % 2 ? "张伟" : "刘洋";
        m.userId = i % 2 ? "100003" : "100004";
        if (i == 18)
            m.replies = {{"6010", "2006-06-19 08:00", "都好，谢谢！", "李明", "100001"}};
        board.push_back(m);
    }
    return board;
}

} // namespace tavrin::sim
