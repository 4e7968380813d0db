#include <gtest/gtest.h>

#include <set>

#include "core/CommandRegistry.h"
#include "core/MenuLayout.h"

using namespace velmor;

TEST(MenuLayout, EveryItemIsRegisteredOnceAndEveryRegistrationIsInTheMenu) {
    const CommandRegistry registry = BuildCommandRegistry();
    const std::vector<std::string> captions = MenuCommandCaptions();
    std::set<std::string> unique(captions.begin(), captions.end());
    EXPECT_EQ(unique.size(), captions.size()) << "menu captions must be unique";
    for (const std::string& caption : captions) {
        EXPECT_NE(registry.FindByCaption(caption), nullptr) << caption;
    }
    EXPECT_EQ(registry.All().size(), captions.size());
}

TEST(MenuLayout, NamesDropOnlyTheAccessKeyPrefix) {
    const CommandRegistry registry = BuildCommandRegistry();
    ASSERT_NE(registry.FindByName("基本替换"), nullptr);
    EXPECT_EQ(registry.FindByName("基本替换")->caption, "&R.基本替换");
    EXPECT_EQ(registry.FindByName("关于...")->caption, "&A.关于...");
    EXPECT_EQ(registry.FindByName("合并/拆分")->caption, "合并/拆分");
    EXPECT_EQ(registry.FindByName("增/删 文件头/尾")->caption, "增/删 文件头/尾");
}

TEST(MenuLayout, SupportNoticeRunsAfterExactlyTheListedCommands) {
    const std::set<std::string> expected = {"删除/保留段部分",
                                            "换行符前后文本",
                                            "变量文本",
                                            "&Z.正则替换/提取",
                                            "&A.全选",
                                            "插入固定文本",
                                            "合并",
                                            "&C.复制",
                                            "到繁体",
                                            "到大写",
                                            "&P.粘贴",
                                            "随机文本",
                                            "段前增减",
                                            "&X.剪切",
                                            "连续换行符数量变更",
                                            "到全角",
                                            "到简体",
                                            "保留指定位置",
                                            "带序号文本",
                                            "到半角",
                                            "&S.保存",
                                            "Tab前后文本",
                                            "插入序号文本",
                                            "取网址源码",
                                            "&F.查找",
                                            "分割文本",
                                            "账号密码",
                                            "到小写",
                                            "&T.插入时间",
                                            "插入整段",
                                            "删除",
                                            "删除/保留段"};
    const CommandRegistry registry = BuildCommandRegistry();
    std::set<std::string> actual;
    for (const Command& command : registry.All()) {
        if (command.supportNotice) {
            actual.insert(command.caption);
        }
    }
    EXPECT_EQ(actual, expected);
}
