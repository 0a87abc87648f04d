// The simulated providers' data: users, classes and what a class holds. Texts
// are GBK bytes, as the sites serve them. Each site renders the parts it
// knows; fields a site does not use stay empty.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tavrin::sim {

struct User {
    std::string name;
    std::string password;
    std::string realName;
    std::string userId;
    int loginCount = 1;
    // The sign-in is refused with the provider's lockout page.
    bool locked = false;
    std::vector<std::string> classIds;
    // Written into the welcome page after the class links.
    std::string welcomeExtra;
    // The personal profile by the provider's form field names.
    std::map<std::string, std::string> profile;
    // When set, served as the profile form page.
    std::string rawProfilePage;
};

struct Member {
    std::string realName;
    std::string icon;
    std::string id;
    std::string phone;
    std::string oicq;
    std::string mobile;
    std::string company;
    std::string address;
    std::string email;
    std::string intro;
    // Visit information, in the order of the visit page.
    std::string registered;
    std::string visitCount;
    std::string lastVisit;
    std::string membership;
    bool listVisits = true;
};

struct Reply {
    std::string id;
    std::string time;
    std::string content;
    std::string user;
    std::string userId;
};

struct Message {
    std::string id;
    std::string title;
    std::string time;
    std::string content;
    std::string user;
    std::string userId;
    bool pinned = false;
    std::vector<Reply> replies;
};

struct Comment {
    std::string user;
    std::string userId;
    std::string time;
    std::string text;
};

struct Photo {
    std::string id;
    std::string commentId;
    std::string title;
    std::string uploadUser;
    std::string uploadUserId;
    std::string uploadTime;
    std::string click;
    std::string description;
    std::string rank;
    std::string imageUrl;
    std::string smallUrl;
    std::vector<Comment> comments;
    // When set, served as the photo's comment page instead of one built from
    // comments.
    std::string rawCommentPage;
};

struct Note {
    std::string id;
    std::string subject;
    std::string content;
    std::string senderName;
    std::string senderId;
    std::string receiverId;
    std::string time;
    bool read = false;
};

struct SchoolClass {
    std::string id;
    std::string schoolName;
    std::string schoolId;
    std::string name;
    std::string slogan;
    std::string homePage;
    std::string manager;
    std::string deputy;
    std::string visitCount;
    std::vector<Member> members;
    std::vector<Message> messages;
    std::vector<Photo> photos; // newest first, as the album lists them
    int photosPerPage = 12;
    std::vector<Note> notes;
    // When set, served in place of the data built from members: lets a test
    // hand the client short, odd or broken records.
    bool rawMembers = false;
    std::string rawMemberData;
    bool rawVisits = false;
    std::string rawVisitData;
    // The message board: regular messages per list page, and whether the
    // list pages show the page total.
    int messagesPerPage = 10;
    bool showMessagePageTotal = true;
    // A list page number answered with brokenMessageStatus (0: none); with
    // status 200 the page comes empty.
    int brokenMessagePage = 0;
    int brokenMessageStatus = 500;
    // When set, served as the note list in place of the notes' blocks.
    bool rawNotes = false;
    std::string rawNoteBlocks;
};

struct Scenario {
    std::vector<User> users;
    std::vector<SchoolClass> classes;

    User* FindUser(const std::string& name);
    SchoolClass* FindClass(const std::string& id);
    // The class, created with that id when missing.
    SchoolClass& Class(const std::string& id);
};

} // namespace tavrin::sim
