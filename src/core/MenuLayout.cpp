#include "core/MenuLayout.h"

namespace velmor {

namespace {

MenuEntry Item(std::string caption) {
    return {MenuEntry::Kind::Command, std::move(caption), false, 0, {}};
}

MenuEntry Separator(bool hidden = false) {
    return {MenuEntry::Kind::Separator, {}, hidden, 0, {}};
}

MenuEntry Recent(int slot) {
    return {MenuEntry::Kind::RecentFile, {}, true, slot, {}};
}

MenuEntry Submenu(std::string caption, std::vector<MenuEntry> children) {
    return {MenuEntry::Kind::Submenu, std::move(caption), false, 0, std::move(children)};
}

std::vector<MenuEntry> BuildLayout() {
    return {
        Submenu("&F.文件",
                {Item("&N.新建"), Item("&O.打开"), Item("取网址源码"), Item("&S.保存"),
                 Item("&A.另存为"), Item("&P.打印"), Separator(),
                 Submenu("多文件", {Item("合并/拆分"), Item("增/删 文件头/尾"), Item("编码转换")}),
                 Separator(true), Recent(1), Recent(2), Recent(3), Separator(), Item("&X.退出")}),
        Submenu("&E.编辑", {Item("&U.撤消"), Item("重做"), Separator(), Item("&X.剪切"),
                            Item("&C.复制"), Item("&P.粘贴"), Separator(), Item("&A.全选")}),
        Submenu("&O.格式", {Item("&W.自动换行"), Item("&F.字体")}),
        Submenu("&S.搜寻", {Item("&F.查找"), Item("&P.查找上一个"), Item("&N.查找下一个")}),
        Submenu("&A.修正",
                {Submenu("转换", {Item("到大写"), Item("到小写"), Item("到简体"), Item("到繁体"),
                                  Item("到全角"), Item("到半角")}),
                 Submenu("筛选", {Item("汉字"), Item("字母"), Item("数字"), Item("符号")}),
                 Separator(), Item("&R.基本替换"),
                 Submenu("高级替换", {Item("换行符前后文本"), Item("Tab前后文本")}),
                 Item("&Z.正则替换/提取"), Separator(),
                 Submenu("换行符", {Item("多换行符变单换行符"), Item("连续换行符数量变更")}),
                 Item("分割文本"), Submenu("空格", {Item("段前增减"), Item("删除")}),
                 Item("保留指定位置"), Separator(),
                 Submenu("段", {Item("插入序号文本"), Item("插入固定文本"), Item("插入整段"),
                                Item("删除/保留段"), Item("删除/保留段部分"), Item("合并")}),
                 Separator(),
                 Submenu("时间", {Item("&T.插入时间"), Item("时分秒到秒"), Item("秒到时分秒")}),
                 Separator(), Item("编码/解码")}),
        Submenu("生成", {Item("带序号文本"), Item("变量文本"), Item("账号密码"), Item("随机文本")}),
        Submenu("脚本", {Item("运行VBS"), Item("运行BAT")}),
        Submenu("&H.帮助", {Item("&A.关于...")}),
    };
}

void CollectCaptions(const std::vector<MenuEntry>& entries, std::vector<std::string>& out) {
    for (const MenuEntry& entry : entries) {
        if (entry.kind == MenuEntry::Kind::Command) {
            out.push_back(entry.caption);
        }
        CollectCaptions(entry.children, out);
    }
}

}  // namespace

const std::vector<MenuEntry>& MainMenuLayout() {
    static const std::vector<MenuEntry> layout = BuildLayout();
    return layout;
}

std::vector<std::string> MenuCommandCaptions() {
    std::vector<std::string> captions;
    CollectCaptions(MainMenuLayout(), captions);
    return captions;
}

}  // namespace velmor
