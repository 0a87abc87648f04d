// The simulated 5460 provider: both web hosts serve the same pages under
// "/gy5460/jsp/"; every page but the sign-in needs the session cookie.
// Each group of pages installs its routes from a file of its own.
#pragma once

#include "tests/sim/Simulator.h"

#include <string>

namespace tavrin::sim::p5460 {

inline constexpr char kSessionCookie[] = "JSESSIONID";

// Routes of all 5460 pages on both web hosts (and the upload host).
void Install(Simulator& sim);

// The groups, each in its own file.
void InstallLogin(Simulator& sim);
void InstallMembers(Simulator& sim);
void InstallMessages(Simulator& sim);
void InstallNotes(Simulator& sim);
void InstallClassPage(Simulator& sim);
void InstallProfile(Simulator& sim);
void InstallPhotos(Simulator& sim);

// Routes a path below "/gy5460/jsp/" on both web hosts.
void RouteBoth(Simulator& sim, const std::string& page, Simulator::Handler handler);

// A GBK page with the provider's frame around body.
std::string Page(const std::string& title, const std::string& body);
// The page a request without a valid session gets: it matches nothing that
// the client looks for.
void PleaseSignIn(Response& response);
// The signed-in user's name, or empty after answering with PleaseSignIn.
std::string RequireSession(Simulator& sim, const Request& request, Response& response);
// Whether the user belongs to the class.
bool IsMemberOf(Simulator& sim, const std::string& user, const std::string& classId);

// Separators of the provider's data blocks.
inline constexpr char kRecordSeparator[] = "^~`@";
inline constexpr char kFieldSeparator[] = "`|";

} // namespace tavrin::sim::p5460
