#include "app/AboutWindow.h"

#include <QDesktopServices>
#include <QUrl>

#include "ui_AboutWindow.h"

namespace velmor {

const char* const kAboutText =
    "Velmor记事本为记事本的增强版，作为纯文本处理工具，在记事本的基础增加大小写、全半角转换，高级替"
    "换、正则替换、文本生成等扩展功能。\r\n"
    "\r\n"
    "具体功能如下：\r\n"
    "多文件：\r\n"
    "    文件合并/拆分\r\n"
    "    增/删统一文件头/尾\r\n"
    "网络：\r\n"
    "    获取网页源码\r\n"
    "转换：\r\n"
    "    大小写转换/简繁体转换/全半角转换\r\n"
    "查找：\r\n"
    "    查找/高级查找/正则查找\r\n"
    "替换：\r\n"
    "    替换/高级替换/正则替换\r\n"
    "筛选：\r\n"
    "    汉字/字母/符号/数字\r\n"
    "段：\r\n"
    "    段前/尾 增加/删除文本\r\n"
    "    合并/拆分段\r\n"
    "    插入/删除段\r\n"
    "    删/留 指定位置文本\r\n"
    "换行符：\r\n"
    "    连续换行符数量变更\r\n"
    "生成：\r\n"
    "    带序号文本\r\n"
    "    帐号密码文本\r\n"
    "    生成随机文本（数字、字母、混合）\r\n"
    "    模板变量文本\r\n"
    "编码转换：\r\n"
    "    BASE64/RC4/十六进制/U码转换\r\n"
    "保存：\r\n"
    "    支持保存格式：txt/vbs/ini/htm/html/bat 等\r\n"
    "\r\n"
    "如需定做软件，或提交软件BUG，请联系作者！";

const char* const kContactUrl = "https://www.velmor-notepad.cn/contact";

AboutWindow::AboutWindow() : m_ui(std::make_unique<Ui::AboutWindow>()) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(369, 486);
    m_ui->标签1->setText(
        QString::fromUtf8(kAboutText).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

AboutWindow::~AboutWindow() = default;

AboutWindow* AboutWindow::Open() {
    auto* window = new AboutWindow();
    window->show();
    return window;
}

void OpenContactPage() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kContactUrl)));
}

}  // namespace velmor
