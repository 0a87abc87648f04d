// The pieces of the passport sign-in that do not need the account: the form,
// the passport's answer texts and the address of its sign-in script.
#pragma once

#include "platform/base/String.h"

namespace tavrin::chinaren {

inline constexpr char kLoginPath[] = "/login.jsp";
inline constexpr char kLoginSuccess[] = "登录成功,转入系统,请稍候......";
inline constexpr char kLoginRefused[] = "登录失败,请您重新输入通行证和密码:";
// The address that the success page sends the browser to.
inline constexpr char kLocationPattern[] = "location.href=\"(.*?)\";";

// "http://" passport host and the sign-in path.
CString PassportUrl();
// The return address of the form, already percent-encoded as a whole: the
// profile host's "/urs/setcookie.jsp" with "burl" the class host's
// "/index.jsp".
CString ReturnAddress();
// The ten fields of the passport form; user name and password URL-encoded.
CString LoginForm(const CString& userName, const CString& password, bool sohu);

} // namespace tavrin::chinaren
