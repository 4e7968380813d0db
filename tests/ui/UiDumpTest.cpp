#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <tuple>

#include "core/MenuLayout.h"

namespace velmor {
namespace {

// The editor binary sits in the build folder, one level above the test programs.
QString EditorBinary() {
    const QString overridden = qEnvironmentVariable("VELMOR_BINARY");
    return overridden.isEmpty() ? QCoreApplication::applicationDirPath() + "/../velmor"
                                : overridden;
}

void CollectTexts(const QJsonArray& items, std::vector<std::string>& captions, int& separators) {
    for (const QJsonValue& value : items) {
        const QJsonObject item = value.toObject();
        if (item["separator"].toBool()) {
            ++separators;
        } else if (!item.contains("children")) {
            captions.push_back(item["objectName"].toString().toStdString());
        }
        CollectTexts(item["children"].toArray(), captions, separators);
    }
}

const QJsonObject* FindNamed(const QJsonObject& widget, const QString& name, QJsonObject& storage) {
    if (widget["objectName"].toString() == name) {
        storage = widget;
        return &storage;
    }
    for (const QJsonValue& child : widget["children"].toArray()) {
        if (FindNamed(child.toObject(), name, storage) != nullptr) {
            return &storage;
        }
    }
    return nullptr;
}

class UiDumpTest : public ::testing::Test {
protected:
    QJsonObject Dump() {
        const QString binary = EditorBinary();
        if (!QFileInfo(binary).isExecutable()) {
            ADD_FAILURE() << "no editor binary at " << binary.toStdString()
                          << " (build the velmor target or set VELMOR_BINARY)";
            return {};
        }
        const QString out = m_dir.filePath("ui.json");
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VELMOR_SETTINGS_FILE", m_dir.filePath("registry.reg"));
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        process.setProcessEnvironment(environment);
        process.start(binary, {"--dump-ui", out});
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        QFile file(out);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        return document.object();
    }

    QTemporaryDir m_dir;
};

TEST_F(UiDumpTest, DescribesTheWholeMenuAndTheWindow) {
    const QJsonObject dump = Dump();
    ASSERT_FALSE(dump.isEmpty());
    const QJsonObject window = dump["mainWindow"].toObject();
    EXPECT_EQ(window["windowTitle"].toString(), QStringLiteral("Velmor记事本增强版 V3.0"));
    EXPECT_EQ(window["frameGeometry"].toObject()["width"].toInt(), 636);
    EXPECT_EQ(window["frameGeometry"].toObject()["height"].toInt(), 498);

    const QJsonArray menu = window["menu"].toArray();
    QStringList topLevel;
    for (const QJsonValue& item : menu) {
        topLevel << item.toObject()["text"].toString();
    }
    EXPECT_EQ(topLevel, (QStringList{"&F.文件", "&E.编辑", "&O.格式", "&S.搜寻", "&A.修正", "生成",
                                     "脚本", "&H.帮助"}));

    std::vector<std::string> leaves;
    int separators = 0;
    CollectTexts(menu, leaves, separators);
    std::vector<std::string> expected = MenuCommandCaptions();
    expected.insert(expected.begin() + 9, {"recent file 1", "recent file 2", "recent file 3"});
    EXPECT_EQ(leaves, expected);
    EXPECT_EQ(separators, 10);

    const QJsonObject file = menu[0].toObject();
    const QJsonObject open = file["children"].toArray()[1].toObject();
    EXPECT_EQ(open["text"].toString(), QStringLiteral("&O.打开"));
    EXPECT_EQ(open["shortcut"].toString(), QStringLiteral("Ctrl+O"));
    const QJsonObject hiddenSeparator = file["children"].toArray()[8].toObject();
    EXPECT_TRUE(hiddenSeparator["separator"].toBool());
    EXPECT_FALSE(hiddenSeparator["visible"].toBool());

    QJsonObject found;
    ASSERT_NE(FindNamed(window, QStringLiteral("图片框2"), found), nullptr);
    EXPECT_EQ(found["toolTip"].toString(),
              QStringLiteral("定做软件、提交软件建议或意见，请点击这里！"));
    EXPECT_EQ(found["geometry"].toObject()["width"].toInt(), 21);
    ASSERT_NE(FindNamed(window, QStringLiteral("编辑框"), found), nullptr);
    EXPECT_EQ(found["class"].toString(), QStringLiteral("velmor::ScintillaEditor"));

    EXPECT_TRUE(dump["dialogs"].isObject());
    // Integer boxes say what typing takes: a start number its sign, a count digits alone.
    for (const auto& [dialog, box, digitsOnly, minusSign] :
         {std::tuple{"带序号文本", "编辑框_起始号", true, true},
          std::tuple{"带序号文本", "编辑框_行数", true, false},
          std::tuple{"带序号文本", "编辑框_文本左", false, true},
          std::tuple{"变量文本", "编辑框_到达", true, true},
          std::tuple{"变量文本", "编辑框_补齐", true, false}}) {
        ASSERT_NE(FindNamed(dump["dialogs"][QString::fromUtf8(dialog)].toObject(),
                            QString::fromUtf8(box), found),
                  nullptr)
            << box;
        EXPECT_EQ(found["digitsOnly"].toBool(), digitsOnly) << box;
        EXPECT_EQ(found["minusSign"].toBool(), minusSign) << box;
    }
}

TEST_F(UiDumpTest, LeavesTheSettingsUntouched) {
    ASSERT_FALSE(Dump().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("registry.reg")));
}

}  // namespace
}  // namespace velmor
