// The message search over the stored board and the class vote.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/ModelEvents.h"
#include "providers/chinaren/MessageStoreChinaRen.h"

#include <gtest/gtest.h>

namespace tavrin::test {
namespace {

class ChinaRenSearch : public ChinaRenTest {
protected:
    void Load(const std::string& items, bool vote = true)
    {
        // The pinned copy equals message 3 by time and user.
        std::string xml = "<message>\n\t<top>\n\t<item read=\"0\" custo_id=\"-1\" id=\"103\">\n\t\t<time>2005-05-13&nbsp;10:00:00"
              "</time>\n\t\t<user>u3</user>\n\t</item>\n\t</top>\n";
        if (vote)
            xml += "\t<vote>\n\t<item read=\"1\" custo_id=\"-10000\" id=\"-1\">\n\t\t<time>-</time>\n\t\t<user>t</user>"
                   "\n\t\t<title>春游</title>\n\t\t<content>去春游还是秋游</content>\n\t</item>\n\t</vote>\n";
        xml += items + "</message>\n";
        dir.Write(ClassFolder("301") + "/message.xml", xml);
        store = static_cast<CMessageStoreChinaRen*>(AddClass("301")->GetMessageStore());
    }
    std::vector<std::string> Search(const char* text)
    {
        window.RunOnWorker([&] { store->Search(text, 0); });
        std::vector<std::string> out;
        auto lock = store->LockItems();
        for (int i = 0; i < store->GetItemCount(); ++i)
            out.push_back(store->GetItem(i)->m_custoId.Str() + (store->GetItem(i)->m_pinned ? "*" : ""));
        return out;
    }
    std::vector<int> Events()
    {
        std::vector<int> codes;
        for (const auto& e : window.Events())
            if (e.message == WM_CLASS_EVENT && e.code != 0)
                codes.push_back(static_cast<int>(e.code));
        return codes;
    }

    CMessageStoreChinaRen* store = nullptr;
};

TEST_F(ChinaRenSearch, WordsTagsCaseAndPinned)
{
    Load(MessageXmlItem(5, "u5", "hello world") + MessageXmlItem(4, "u4", "&lt;img&nbsp;src=findme.gif&gt;") +
         MessageXmlItem(3, "u3", "Hello pinned") + MessageXmlItem(2, "u2", "a&amp;nbsp;b") + MessageXmlItem(1, "u1", "秋游"));
    struct Case {
        const char* text;
        std::vector<std::string> listed;
    } cases[] = {
        {"  world   nothing ", {"5"}},
        {"HELLO", {}},
        {"Hello hello", {"3*", "5"}},
        {"findme", {}},
        {"nbsp", {"2"}},
        {"秋游", {"-10000*", "1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Search(c.text), c.listed);
    }
    // An empty text brings the list back.
    EXPECT_EQ(Search("").size(), 6u);
    EXPECT_EQ(store->GetLastSearch(), CString());
}

TEST_F(ChinaRenSearch, EveryAnnouncedSearchEnds)
{
    Load(MessageXmlItem(1, "u1", "abc"));
    Search("abc");
    EXPECT_EQ(Events(), (std::vector<int>{17, 21}));
    // The same text again does nothing at all.
    Search(" abc ");
    EXPECT_EQ(Events(), (std::vector<int>{17, 21}));
}

TEST_F(ChinaRenSearch, NoItemsStillEndsAndFindsTheVote)
{
    Load("");
    EXPECT_EQ(Search("春游"), std::vector<std::string>{"-10000*"});
    EXPECT_EQ(Events(), (std::vector<int>{17, 21}));
}

} // namespace
} // namespace tavrin::test
