#include <gtest/gtest.h>

#include <QLabel>

#include "WindowCommandsTestSupport.h"
#include "app/SupportNoticeWindow.h"
#include "core/UsageDays.h"

namespace velmor {
namespace {

using test::CommandsFixture;

// Closes every support notice that comes up, recording the day count it showed and the
// document at that moment.
class NoticeCloser {
public:
    explicit NoticeCloser(MainWindow& window) : m_window(window) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { CloseOpenNotice(); });
        m_timer.start();
    }

    int Shown() const { return int(m_days.size()); }
    const QStringList& Days() const { return m_days; }
    const std::vector<Text>& Documents() const { return m_documents; }

private:
    void CloseOpenNotice() {
        auto* notice = qobject_cast<SupportNoticeWindow*>(QApplication::activeModalWidget());
        if (notice == nullptr || !notice->isVisible()) {
            return;
        }
        m_days << notice->findChild<QLabel*>(QStringLiteral("标签_天"))->text();
        m_documents.push_back(m_window.Editor().ReadText());
        notice->close();
    }

    MainWindow& m_window;
    QTimer m_timer;
    QStringList m_days;
    std::vector<Text> m_documents;
};

class MainWindowNoticeTest : public ::testing::Test, protected CommandsFixture {
protected:
    // A window started the given number of days after the first start.
    MainWindow& OpenOnDay(int days) {
        if (days > 0) {
            Settings().WriteString(kFirstUseKey, "", Utf8ToGbk("2017年3月5日"));
            TestClock().Set(DateTime{MakeDateTime(2017, 3, 5).days + days + 0.5});
        }
        MainWindow& window = OpenBound();
        EXPECT_EQ(window.DaysInUse(), days);
        return window;
    }

    bool Implemented(const char* caption) {
        const Command* command = Window().Registry().FindByCaption(caption);
        return command != nullptr && command->run;
    }
};

TEST_F(MainWindowNoticeTest, ShowsOnceAfterTheFirstStepCommandOnItsDaysOnly) {
    struct Row {
        int days;
        int shown;
    };
    for (const Row row : {Row{0, 0}, Row{7, 0}, Row{10, 1}, Row{101, 1}}) {
        SCOPED_TRACE(row.days);
        MainWindow& window = OpenOnDay(row.days);
        if (!Implemented("到大写")) {
            GTEST_SKIP() << "到大写 is not registered";
        }
        NoticeCloser closer(window);
        window.Editor().ReplaceText("abc");
        RunItem("到大写");
        EXPECT_EQ(EditorText(), "ABC");
        RunItem("到大写");
        RunItem("&A.全选");
        RunItem("&C.复制");
        RunItem("&S.保存");
        EXPECT_EQ(closer.Shown(), row.shown);
        if (row.shown > 0) {
            EXPECT_EQ(closer.Days(), QStringList{QString::number(row.days)});
            EXPECT_EQ(closer.Documents(), std::vector<Text>{"ABC"})
                << "the notice comes after the command's own action";
        }
        EXPECT_TRUE(Commands().Notice().NoticeShown());
        Close();
    }
}

TEST_F(MainWindowNoticeTest, CommandsWithoutTheStepLeaveTheNoticeUndecided) {
    MainWindow& window = OpenOnDay(10);
    NoticeCloser closer(window);
    TypeKeys("ab");
    RunItem("&U.撤消");
    RunItem("重做");
    RunItem("&W.自动换行");
    window.Editor().SetModifiedFlag(false);
    RunItem("&N.新建");
    EXPECT_EQ(closer.Shown(), 0);
    EXPECT_FALSE(Commands().Notice().NoticeShown());

    // Find next is not built yet: its entry says it never runs the step, find does.
    EXPECT_FALSE(window.Registry().FindByCaption("&N.查找下一个")->supportNotice);
    EXPECT_TRUE(window.Registry().FindByCaption("&F.查找")->supportNotice);

    // Save asks for a name; cancelled, it still ends with the step.
    Dialog().Answer(std::nullopt);
    RunItem("&S.保存");
    EXPECT_EQ(closer.Shown(), 1);
    RunItem("&X.剪切");
    RunItem("&P.粘贴");
    EXPECT_EQ(closer.Shown(), 1);
}

}  // namespace
}  // namespace velmor
