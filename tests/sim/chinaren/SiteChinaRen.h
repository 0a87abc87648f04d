// The simulated ChinaRen site: the passport with its sign-in script, the
// class host and the verification pictures. It keeps its own data beside the
// shared scenario; the routes hold that data, so it lives as long as the
// simulator serves. Each group of pages installs its routes from a file of
// its own.
#pragma once

#include "tests/sim/Simulator.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tavrin::sim::chinaren {

// The class site's sign-in cookie, set by the passport's sign-in script.
inline constexpr char kSessionCookie[] = "crclass";
// The passport's own cookie, set by the sign-in form's answer.
inline constexpr char kPassportCookie[] = "ppinf";

struct User {
    std::string name;
    std::string password;
    std::string realName;
    // Signs in with the Sohu mail domain instead of the ChinaRen one.
    bool sohu = false;
    // The home page's class links, in this order (an id may repeat).
    std::vector<std::string> classIds;
    // Written into the home page after the class links.
    std::string homeExtra;
    // The registration form's values by field name ("realname", "mail",
    // "isman" "1" for male, "ispublic" "1" when checked, the option lists'
    // selected values "b_mon", "b_day", "edu", "job", "revnew", "locate").
    std::map<std::string, std::string> profile;
};

// One row of the message board.
struct BoardRow {
    std::string id;
    std::string user;
    // A guest's name is shown in a green font instead of a member link.
    bool guest = false;
    // As the board shows it: the stamp and the weekday after it.
    std::string time;
    // The text as posted; the page escapes it for its script call.
    std::string content;
    bool pinned = false;
    // The board offers the delete link for it.
    bool deletable = true;
    // Shown through doFlatTxt instead of doStr.
    bool flat = false;
    // 0 the current board, 1 and 2 the two history listings.
    int kind = 0;
};

enum class VoteForm { None, Shown, Ballot };

// A photo of the class album, as its data script line gives it.
struct AlbumPhoto {
    std::string id;
    // The numbered image host, or "-1" for a photo at its PURL.
    std::string host = "1";
    std::string realName = "张三";
    std::string title;
    std::string ext = "jpg";
    std::string fileSize = "2048";
    std::string imageSize = "640*480";
    // Milliseconds since 1970, as text.
    std::string crtm = "1117584000000";
    std::string intro;
    std::string purl;
    std::string clicks = "0";
    // The line lacks its PURL field.
    bool malformed = false;
};

// A comment of the album's comments script.
struct AlbumComment {
    std::string photoId;
    std::string realName;
    std::string crtm = "1117584000000";
    std::string text;
    // The assignment lacks its CRTM field.
    bool malformed = false;
};

// A note left for the signed-in user.
struct Note {
    std::string id;
    std::string time;
    std::string fromUser;
    std::string fromReal;
    std::string content;
};

// A member on the visit page and their detail page.
struct Member {
    std::string userName;
    std::string realName;
    // The alt texts of the member's icons, in order.
    std::vector<std::string> alts;
    std::string visitTime;
    std::string lastVisit;
    // Detail values by label ("性别："), as the page shows them.
    std::map<std::string, std::string> details;
    // The detail page is refused to everybody.
    bool hidden = false;
};

struct Class {
    std::string id;
    std::string schoolId;
    std::string schoolName;
    std::string name;
    // The class home page's cells; HTML where the page holds HTML.
    std::string heading;
    std::string voiceNumber;
    std::string enrolYear;
    std::string memberCount;
    std::string founder;
    std::string created;
    std::string homePage;
    std::vector<std::string> administrators;
    std::string birthdays;
    std::string online;
    std::string announcement;
    // The board, newest first; pinned rows head the first page.
    std::vector<BoardRow> board;
    int rowsPerPage = 5;
    // The closing text on each listing's last page.
    bool closingText = true;
    // Every page without its title, or only this page of the current board.
    bool untitledBoard = false;
    int brokenBoardPage = 0;
    // The class vote on the class page.
    VoteForm vote = VoteForm::None;
    std::string voteCreator;
    std::string voteReason;
    std::string voteTitle;
    // The visit page's members, in page order.
    std::vector<Member> members;
    // The note page's notes, newest first.
    std::vector<Note> notes;
    // Bodies of the notes posted to online_sendmsg.jsp that were taken.
    std::vector<std::string> sentNotes;
    // The send form's answer lacks the success marker.
    bool noSendMarker = false;
    // The next key the send form hands out.
    int nextFormKey = 1001;
    // Ballots posted to class_vote.jsp, as sent.
    std::vector<std::string> ballots;
    // The next id a posted message gets.
    long long nextRowId = 900;
    // The album in data script order, and its comments.
    std::vector<AlbumPhoto> album;
    std::vector<AlbumComment> albumComments;
    // The index page names no comments script.
    bool noCommentsScript = false;
    // Bodies of the comments and deletes posted to the album.
    std::vector<std::string> commentPosts;
    std::vector<std::string> deletePosts;
    // Each upload's parts as "name=value" ("name[filename]=bytes" for a
    // file), in order.
    std::vector<std::vector<std::string>> uploads;
    // The album refuses to delete photos.
    bool keepDeleted = false;
    // The next id an uploaded photo gets.
    long long nextPhotoId = 1000;
};

// What a verification picture request is answered with.
enum class PictureAnswer {
    Gif,       // a GIF89a showing the code
    Gif87,     // the same picture labelled GIF87a
    Html,      // an HTML page with status 200
    Gif404,    // the picture with status 404
    FiveBytes, // the five bytes "GIF89"
};

struct Data {
    std::vector<User> users;
    std::vector<Class> classes;
    // The four characters shown for each picture request, by its query
    // ("lwc1tom1117584000500").
    std::map<std::string, std::string> codes;
    // Answers by query prefix ("lwc2" answers every message picture of
    // class c2); the longest prefix wins, Gif without one.
    std::map<std::string, PictureAnswer> pictureAnswers;
    // Set as the cookie "crpost" by an accepted message post when not empty.
    std::string postCookie;
    // The hidden "tm" of the registration form: counted up per page.
    long long nextFormStamp = 1117584000001;
    // Tickets of the passport's success pages: ticket -> user name.
    std::map<std::string, std::string> tickets;
    int nextTicket = 1;

    User* FindUser(const std::string& name);
    Class* FindClass(const std::string& id);
    Class& AddClass(const std::string& id);
};

class Site {
public:
    // Installs every ChinaRen route on sim.
    explicit Site(Simulator& sim);

    template <class F>
    auto Edit(F&& f)
    {
        std::lock_guard<std::mutex> lock(m_state->lock);
        return f(m_state->data);
    }

    // The code of a picture request's query; empty when none was served.
    std::string CodeFor(const std::string& query);

    struct State {
        std::mutex lock;
        Data data;
    };

private:
    std::shared_ptr<State> m_state;
};

using StatePtr = std::shared_ptr<Site::State>;

// The groups, each in its own file.
void InstallPassport(Simulator& sim, const StatePtr& state);
void InstallClassHome(Simulator& sim, const StatePtr& state);
void InstallVerifyImages(Simulator& sim, const StatePtr& state);
void InstallProfile(Simulator& sim, const StatePtr& state);
void InstallClassPage(Simulator& sim, const StatePtr& state);
void InstallBoard(Simulator& sim, const StatePtr& state);
void InstallContacts(Simulator& sim, const StatePtr& state);
void InstallNotes(Simulator& sim, const StatePtr& state);
void InstallAlbum(Simulator& sim, const StatePtr& state);
// The photo's image address on its numbered host, or its PURL.
std::string AlbumImageUrl(const std::string& classId, const AlbumPhoto& photo);
// The addresses of the album's two data scripts.
std::string AlbumDataUrl(const std::string& classId);
std::string AlbumCommentsUrl(const std::string& classId);
// The query of a photo comment picture ("cp" class id, user, key).
std::string PhotoPictureQuery(const User& user, const std::string& classId, const std::string& key);
// The key the send form hands out for a number ("k&1 001").
std::string FormKey(int number);
// The 17 labels of a member's detail page, in page order.
extern const char* const kDetailLabels[17];
// The class vote's markup on the class page.
std::string VoteMarkup(const Class& c);

// Whether the user's home page lists the class.
bool IsMemberOf(const Data& data, const std::string& user, const std::string& classId);
// A GBK page of the site: the frame, its scripts and adverts around body.
std::string Page(const std::string& title, const std::string& body);
// The page a class-site request without the sign-in cookie gets: it matches
// nothing the client looks for.
void PleaseSignIn(Response& response);
// The signed-in user's name, or empty after answering with PleaseSignIn.
std::string RequireSession(Simulator& sim, const Request& request, Response& response);
// The session key the simulator keeps for a ChinaRen user.
std::string SessionName(const std::string& user);

// The query of a message picture for the user and key ("lw" class id, the
// user name lower-cased, "@sohu" for that kind, key).
std::string MessagePictureQuery(const User& user, const std::string& classId, const std::string& key);

// The four characters a picture query shows, made on first request.
std::string CodeOf(Data& data, const std::string& query);
// A GIF89a of text drawn in a small block font (digits only).
std::string DrawCode(const std::string& text);
// Width and height of DrawCode's picture for a text of n characters.
int CodeImageWidth(int n);
int CodeImageHeight();

// User "crdemo" (password "demo", ChinaRen kind) in two classes.
void SeedDemo(Site& site);

} // namespace tavrin::sim::chinaren
