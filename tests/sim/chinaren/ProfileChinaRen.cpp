// The registration form of the class site (the personal profile): shown to
// a member of the class, posted back with the code of its stamp's picture.
#include "tests/sim/chinaren/SiteChinaRen.h"

#include "providers/chinaren/site.h"

namespace tavrin::sim::chinaren {

namespace {

std::string Options(const std::vector<std::string>& values, const std::string& selected)
{
    std::string out;
    for (const std::string& v : values)
        out += "\r\n<option value=\"" + v + "\"" + (v == selected ? " selected" : "") + ">" + v + "</option>";
    return out + "\r\n";
}

std::vector<std::string> Range(int from, int to)
{
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i)
        out.push_back(std::to_string(i));
    return out;
}

std::string FormPage(const User& user, const std::string& classId, const std::string& tm)
{
    auto value = [&](const char* field) {
        auto it = user.profile.find(field);
        return it == user.profile.end() ? std::string() : it->second;
    };
    const bool male = value("isman") == "1";
    std::string form =
        "<form name=regform method=post action=\"/class/class_register.jsp?classuuid=" + classId + "\">\r\n"
        "<table width=600 border=0 cellpadding=3 cellspacing=1 bgcolor=#B8DDA0>\r\n"
        "<tr><td class=cr1>真实姓名：</td><td><input name=\"realname\" type=\"text\" class=\"input1\" size=\"16\" "
        "value='" + value("realname") + "'  maxlength=\"16\"></td></tr>\r\n"
        "<tr><td class=cr1>性别：</td><td><input name=isman type=radio value=1" + (male ? " CHECKED" : "") +
        ">男 <input name=isman type=radio value=0" + (male ? "" : " CHECKED") + ">女</td></tr>\r\n"
        "<tr><td class=cr1>常用邮件：</td><td><input name=mail value='" + value("mail") +
        "' size=20 maxsize=\"32\" class=\"input1\"></td></tr>\r\n"
        "<tr><td class=cr1>移动电话：</td><td><input class=\"input1\" name=mobile value='" + value("mobile") +
        "' size=20 maxlength=\"11\"></td></tr>\r\n"
        "<tr><td class=cr1>搜Q：</td><td><input class=\"input1\" name=soq value='" + value("soq") +
        "' size=20 maxlength=\"11\"></td></tr>\r\n"
        "<tr><td class=cr1>出生年月：</td><td><input class=\"input1\" name=b_year size=4 value='" + value("b_year") +
        "'>年 <select name=\"b_mon\" class=\"input1\" style='WIDTH: 40px'>" + Options(Range(1, 12), value("b_mon")) +
        "</select>月 <select name=\"b_day\" class=\"input1\" style='WIDTH: 40px'>" +
        Options(Range(1, 31), value("b_day")) + "</select>日\r\n"
        "<input type=\"checkbox\" name=\"ispublic\" value=\"B\"" + (value("ispublic") == "1" ? " checked" : "") +
        ">公开</td></tr>\r\n"
        "<tr><td class=cr1>教育程度：</td><td><select name=\"edu\" class=\"input1\">" +
        Options({"高中", "大专", "本科", "硕士", "博士"}, value("edu")) + "</select></td></tr>\r\n"
        "<tr><td class=cr1>所属行业：</td><td><select name=\"job\" class=\"input1\">" +
        Options({"IT", "教育", "金融", "其他"}, value("job")) + "</select></td></tr>\r\n"
        "<tr><td class=cr1>收入：</td><td><select name=\"revnew\" class=\"input1\">" +
        Options({"1000以下", "1000-3000", "3000以上"}, value("revnew")) + "</select></td></tr>\r\n"
        "<tr><td class=cr1>省、直辖市：</td><td><select name=locate class=\"input1\">" +
        Options({"北京", "上海", "广东"}, value("locate")) + "</select></td></tr>\r\n"
        "<tr><td class=cr1>工作单位：</td><td><input name=company class=\"input1\" value='" + value("company") +
        "' size=29 maxlength=\"32\"></td></tr>\r\n"
        "<tr><td class=cr1>单位地址：</td><td><input name=officeaddress class=\"input1\" value='" +
        value("officeaddress") + "' size=29 maxsize=\"32\"></td></tr>\r\n"
        "<tr><td class=cr1>居住地址：</td><td><input name=homeaddress class=\"input1\" value='" + value("homeaddress") +
        "' size=29 maxlength=\"32\"></td></tr>\r\n"
        "<tr><td class=cr1>邮政编码：</td><td><input name=zipcode class=\"input1\" value='" + value("zipcode") +
        "' size=29 maxsize=\"32\" maxlength=\"7\"></td></tr>\r\n"
        "<tr><td class=cr1>联系电话：</td><td><input name=phone class=\"input1\" value='" + value("phone") +
        "' size=29 maxlength=\"32\"></td></tr>\r\n"
        "<tr><td class=cr1>个人主页：</td><td><input name=homepage class=\"input1\" size=29 maxlength=\"32\" value=\"" +
        value("homepage") + "\"></td></tr>\r\n"
        "<tr><td class=cr1>QQ：</td><td><input name=oicq class=\"input1\" value='" + value("oicq") +
        "' size=29 maxlength=\"32\" onkeyup=\"this.value=this.value.replace(/\\D/g,'')\"></td></tr>\r\n"
        "<tr><td class=cr1>MSN/ICQ：</td><td><input name=icq class=\"input1\" value='" + value("icq") +
        "' size=29 maxlength=\"64\"></td></tr>\r\n"
        "<tr><td class=cr1>自我介绍：</td><td><textarea name=\"memo\" cols=\"36\" rows=\"4\" class=\"input1\">" +
        value("memo") + "</textarea></td></tr>\r\n"
        "<tr><td class=cr1>认证码：</td><td><input name=ark size=4 maxlength=4> <img src=\"http://" +
        std::string(tavrin::chinaren::kVerifyHost) + "/verifyimg?creg" + tm + "\"></td></tr>\r\n"
        "</table>\r\n"
        "<input type=hidden name=tm value='" + tm + "'>\r\n"
        "<input type=submit value=\"修 改\"></form>\r\n";
    return Page("个人档案", "<table width=760 align=center><tr><td>" + form + "</td></tr></table>");
}

} // namespace

void InstallProfile(Simulator& sim, const StatePtr& state)
{
    sim.Route(tavrin::chinaren::kClassHost, "/class/class_register.jsp",
              [&sim, state](const Request& request, Response& response) {
                  const std::string user = RequireSession(sim, request, response);
                  if (user.empty())
                      return;
                  std::lock_guard<std::mutex> lock(state->lock);
                  User* u = state->data.FindUser(user);
                  if (!u) {
                      PleaseSignIn(response);
                      return;
                  }
                  const std::string classId = request.Field("classuuid");
                  if (request.method != "POST") {
                      const std::string tm = std::to_string(state->data.nextFormStamp++);
                      response.Html(FormPage(*u, classId, tm));
                      return;
                  }
                  const std::string tm = request.Field("tm");
                  auto code = state->data.codes.find("creg" + tm);
                  if (tm.empty() || code == state->data.codes.end() || code->second != request.Field("ark")) {
                      response.Html("<script>alert('请输入正确的认证信息');history.go(-1)</script>");
                      return;
                  }
                  for (const char* field : {"realname", "isman", "mail", "mobile", "soq", "b_year", "b_mon", "b_day",
                                            "edu", "job", "revnew", "locate", "company", "officeaddress",
                                            "homeaddress", "zipcode", "phone", "homepage", "oicq", "icq", "memo"})
                      if (request.HasField(field))
                          u->profile[field] = request.Field(field);
                  u->profile["ispublic"] = request.HasField("ispublic") ? "1" : "0";
                  response.Html(Page("个人档案", "<script>alert('修改成功！');location.href='/index.jsp?home=1';"
                                                 "</script>"));
              });
}

} // namespace tavrin::sim::chinaren
