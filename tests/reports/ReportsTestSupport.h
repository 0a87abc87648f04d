// A class to report on: an account whose data folder and a program folder
// with the styles of the source tree lie in a temporary folder, and a class
// whose stores hold records the test adds.
#pragma once

#include "core/model/Account.h"
#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/SchoolClass.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace tavrin::test {

// Message pages rendered from a fixed template around each record.
class CReportMessageStore : public CMessageStore {
public:
    CString RenderPage(CString custoId) override;
    std::function<CString(const CMessageItem&)> render;  // the page of one message
};

class CReportPictureStore : public CPictureStore {
public:
    CString RenderDetailPage(CString custoId, int width) override;
};

class CReportContactStore : public CContactStore {
public:
    CString RenderPage(CString custoId) override;
};

class CReportClass : public CSchoolClass {
public:
    CReportClass();
    ~CReportClass() override;
    CReportMessageStore* Messages() { return static_cast<CReportMessageStore*>(m_messageStore); }
    CReportPictureStore* Pictures() { return static_cast<CReportPictureStore*>(m_pictureStore); }
    CReportContactStore* Contacts() { return static_cast<CReportContactStore*>(m_contactStore); }
};

// A script's result in the browser pane, once the page has run it (display
// tests only).
std::string RunPageScript(HWND host, const std::string& utf8Script);

class ReportsFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void AddMessage(const std::string& user, const std::string& time, const std::string& title = "");
    void AddPicture(const std::string& id, const std::string& title);
    void AddContact(const std::string& realName);
    // As in the program: accounts below the program folder, the class folder
    // three levels down, where "../../../styles" reaches the styles.
    std::filesystem::path ClassFolder() const { return AppFolder() / "accounts" / "acct" / "class1"; }
    std::filesystem::path AppFolder() const { return m_temp.Path() / "app"; }
    std::string ReadClassFile(const std::string& name) const { return TempDir::Read(ClassFolder() / name); }
    // Replaces a template of the program's styles folder.
    void WriteTemplate(const std::string& name, const std::string& gbkText) const;
    void RemoveTemplate(const std::string& name) const;

    TempDir m_temp;
    CAccount m_account;
    CReportClass m_class;
    int m_nextCustoId = 1;
};

} // namespace tavrin::test
