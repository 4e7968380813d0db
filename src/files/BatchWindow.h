#pragma once

#include "core/DialogFields.h"

namespace velmor {

// The batch window "文件批量操作": one window, three tabs, three file lists kept for the run.
enum class BatchTab { MergeSplit = 0, HeadTail = 1, Encoding = 2 };

inline constexpr const char* kBatchWindowTitle = "文件批量操作";
inline constexpr const char* kBatchTabControl = "选项卡1";

// The window as its tab's menu item opens it: the same controls for every tab, with that tab
// selected and its action button the one the batch runner presses. The window itself is
// built from the first and only shows another tab.
const DialogDefinition& BatchWindowDefinition(BatchTab tab);

// The menu item that shows each tab.
const char* BatchTabCommand(BatchTab tab);

// The list box and its three buttons on one tab ("列表框1", "按钮_添加1", …).
struct FileListNames {
    std::string list;
    std::string add;
    std::string clear;
    std::string remove;
};
FileListNames FileListOf(BatchTab tab);

}  // namespace velmor
