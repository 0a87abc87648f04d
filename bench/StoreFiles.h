// Store files as the program writes them, for the benchmarks that load them.
#pragma once

#include <cstdio>
#include <string>

namespace tavrin::bench {

// A store file as the message update writes it: GBK text, "&nbsp;" for
// spaces, one item with its seven children per message.
inline std::string MessageXml(int items, int firstId = 3000000)
{
    static const char* const kUsers[] = {"张三", "李四", "王小明", "赵丽", "陈晓东", "刘洋"};
    static const char* const kWords[] = {"同学们好", "好久不见", "毕业十年了", "大家都还好吗", "聚会的时间定了吗", "我在北京",
                                         "照片已经上传", "祝大家新年快乐", "老师身体可好", "下次一起吃饭"};
    std::string out;
    out.reserve(static_cast<size_t>(items) * 420);
    out += "<message>\n";
    char line[256];
    for (int i = 0; i < items; ++i) {
        int id = firstId + i * 7;
        std::snprintf(line, sizeof line, "\t<item read=\"%d\" custo_id=\"%d\" id=\"%d\">\n", i % 2, items - i, id);
        out += line;
        out += "\t\t<title>";
        out += kWords[i % 10];
        out += "&nbsp;";
        out += kUsers[i % 6];
        out += "</title>\n";
        std::snprintf(line, sizeof line, "\t\t<time>2008-%02d-%02d&nbsp;%02d:%02d:%02d</time>\n", 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60);
        out += line;
        out += "\t\t<user>";
        out += kUsers[(i * 5) % 6];
        out += "</user>\n";
        std::snprintf(line, sizeof line, "\t\t<user_id>%d</user_id>\n\t\t<content>", 100000 + i % 977);
        out += line;
        for (int w = 0; w < 7; ++w) {
            out += kWords[(i + w * 3) % 10];
            out += w % 3 == 2 ? "&lt;br&gt;" : "&nbsp;";
        }
        out += "</content>\n";
        std::snprintf(line, sizeof line, "\t\t<id>%d</id>\n\t\t<reply_number>%d</reply_number>\n\t</item>\n", id, i % 5);
        out += line;
    }
    out += "</message>\n";
    return out;
}

} // namespace tavrin::bench
