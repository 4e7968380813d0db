#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <QAction>
#include <QStringEncoder>

#include "WindowCommandsTestSupport.h"

namespace velmor {
namespace {

using namespace std::string_literals;
using test::CommandsFixture;
using test::MessageBoxAnswerer;

const QString kProgram = QStringLiteral("Velmor记事本增强版 - ");
const QString kKeptUndecodable = QStringLiteral(
    "文件含有无法解码的UTF-16内容（单独的代理项或多出的一个字节），已按原字节保留在文本中；"
    "不改动这些内容，保存时会原样写回。");

// The file bytes of a text in an encoding, made by Qt's own encoders.
ByteString FileBytes(const QString& text, FileEncoding encoding) {
    switch (encoding) {
        case FileEncoding::Gbk:
            return Utf8ToGbk(text.toUtf8().toStdString());
        case FileEncoding::Utf8:
            return text.toUtf8().toStdString();
        case FileEncoding::Utf8Bom:
            return "\xEF\xBB\xBF" + text.toUtf8().toStdString();
        case FileEncoding::Utf16Le:
            return QByteArray(
                       QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom)
                           .encode(text))
                .toStdString();
        case FileEncoding::Utf16Be:
            return QByteArray(
                       QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom)
                           .encode(text))
                .toStdString();
    }
    return {};
}

class MainWindowEncodingTest : public ::testing::Test, protected CommandsFixture {
protected:
    QString Caption() { return Window().windowTitle(); }
    void Open(const Text& path, std::optional<FileEncoding> encoding = std::nullopt) {
        Dialog().Answer(path, encoding);
        RunItem("&O.打开");
    }
    void PressAtEnd(Qt::Key key) {
        Window().Editor().setFocus();
        QTest::keyClick(Window().Editor().viewport(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(Window().Editor().viewport(), key);
        QApplication::processEvents();
    }
};

TEST_F(MainWindowEncodingTest, EveryEncodingOpensEditsAtTheEndAndSavesInItsOwn) {
    // 😀 has no two-byte code: four bytes in GBK, one character in the editor.
    const QString content = QStringLiteral("中文\r\na😀");
    const Text loaded = "\xD6\xD0\xCE\xC4\r\na" + FileBytes(QStringLiteral("😀"), FileEncoding::Gbk);
    MainWindow& window = OpenBound();
    for (FileEncoding encoding : kFileEncodings) {
        SCOPED_TRACE(EncodingName(encoding));
        const Text path = PathOf("文件.txt");
        const ByteString bytes = FileBytes(content, encoding);
        Put(path, bytes);
        MessageBoxAnswerer answerer;
        Open(path);
        EXPECT_EQ(EditorText(), loaded);
        const QString tag =
            encoding == FileEncoding::Gbk
                ? QString()
                : QStringLiteral(" [%1]").arg(QString::fromUtf8(EncodingName(encoding)));
        EXPECT_EQ(Caption(), kProgram + FileSystemPath(path) + tag);
        RunItem("&S.保存");
        EXPECT_EQ(Content(path), bytes) << "saving unedited writes the same bytes";

        PressAtEnd(Qt::Key_Backspace);
        EXPECT_EQ(EditorText(), "\xD6\xD0\xCE\xC4\r\na") << "one Backspace takes the character";
        TypeKeys("b");
        RunItem("&S.保存");
        EXPECT_EQ(Content(path), FileBytes(QStringLiteral("中文\r\nab"), encoding));
        EXPECT_TRUE(answerer.Texts().isEmpty()) << answerer.Texts().join('|').toStdString();
        EXPECT_FALSE(window.Editor().ModifiedFlag());
    }
}

TEST_F(MainWindowEncodingTest, TheDialogsChooseTheEncodingAndSaveAsStartsFromTheDocuments) {
    OpenBound();
    const Text utf8 = PathOf("u.txt");
    Put(utf8, "中");
    // Forced GBK takes the UTF-8 bytes as they are.
    Open(utf8, FileEncoding::Gbk);
    EXPECT_EQ(EditorText(), "中");
    EXPECT_EQ(Caption(), kProgram + FileSystemPath(utf8));
    // The recent item reopens by recognition.
    Window().findChild<QAction*>(QStringLiteral("recent file 1"))->trigger();
    EXPECT_EQ(EditorText(), "\xD6\xD0");
    EXPECT_EQ(Caption(), kProgram + FileSystemPath(utf8) + QStringLiteral(" [UTF-8]"));

    const Text wide = PathOf("w.txt");
    Put(wide, FileBytes(QStringLiteral("中"), FileEncoding::Utf16Be));
    Open(wide);
    const Text copy = PathOf("copy.txt");
    Dialog().Answer(copy);
    RunItem("&A.另存为");
    EXPECT_EQ(Content(copy), FileBytes(QStringLiteral("中"), FileEncoding::Utf16Be));
    Dialog().Answer(copy, FileEncoding::Utf8Bom);
    RunItem("&A.另存为");
    EXPECT_EQ(Content(copy), "\xEF\xBB\xBF中");
    EXPECT_EQ(Caption(), kProgram + FileSystemPath(wide) + QStringLiteral(" [UTF-8 BOM]"))
        << "the caption follows the encoding the document is now saved in";
    EXPECT_EQ(Dialog().ShownEncodings(),
              (std::vector<std::optional<FileEncoding>>{
                  std::nullopt, std::nullopt, FileEncoding::Utf16Be, FileEncoding::Utf16Be}));

    // New starts a GBK document again.
    RunItem("&N.新建");
    Window().Editor().ReplaceText("x");
    const Text fresh = PathOf("fresh.txt");
    Dialog().Answer(fresh);
    RunItem("&S.保存");
    EXPECT_EQ(Dialog().ShownEncodings().back(), FileEncoding::Gbk);
}

TEST_F(MainWindowEncodingTest, BytesTheEncodingCannotHoldAskForGbkOrNothing) {
    OpenBound();
    const Text path = PathOf("u.txt");
    Put(path, "中");
    Open(path);
    // 十六进制解码 and the like can leave bytes that start no character.
    Window().Editor().ReplaceText("\xD6\xD0\xFF");
    Window().Editor().SetModifiedFlag(true);
    MessageBoxAnswerer answerer;
    answerer.Press(QMessageBox::No);
    RunItem("&S.保存");
    ASSERT_EQ(answerer.Texts().size(), 1);
    EXPECT_TRUE(answerer.Texts()[0].contains(QStringLiteral("按GBK原样保存")));
    EXPECT_EQ(answerer.Titles(), QStringList{QStringLiteral("询问")});
    EXPECT_EQ(Content(path), "中") << "declined: the file is untouched";
    EXPECT_TRUE(Window().Editor().ModifiedFlag()) << "and the text is still unsaved";

    answerer.Press(QMessageBox::Yes);
    RunItem("&S.保存");
    EXPECT_EQ(Content(path), "\xD6\xD0\xFF") << "GBK writes the text byte for byte";
    EXPECT_EQ(Caption(), kProgram + FileSystemPath(path));
    EXPECT_EQ(Commands().Documents().Encoding(), FileEncoding::Gbk);
}

TEST_F(MainWindowEncodingTest, Utf8IsSavedFromTheDocumentWhereTheEditorsBytesAreNotUtf8) {
    OpenBound();
    const Text path = PathOf("u.txt");
    Put(path, "中");
    Open(path);
    // B0 and A1 start no character with a space after them, so the editor holds them as raw
    // bytes; with the space between them deleted, the document reads them as 啊, which is
    // what must be saved, not the two raw bytes.
    Window().Editor().ReplaceText("\xB0 \xA1 ");
    Window().Editor().SendScintilla(QsciScintillaBase::SCI_DELETERANGE, 1UL, 1L);
    ASSERT_EQ(EditorText(), "\xB0\xA1 ");
    MessageBoxAnswerer answerer;
    RunItem("&S.保存");
    EXPECT_EQ(Content(path), "啊 ");
    EXPECT_TRUE(answerer.Texts().isEmpty());
}

TEST_F(MainWindowEncodingTest, BadFilesOpenWithAClearResultAndSaveWhatWasLoaded) {
    const QString loadedOnlyPart = QStringLiteral(
        "文件中含有0字节或文件结束符(0x1A)，只载入了其前面的内容；保存将截去其后的内容。");
    const ByteString asciiMegabyte(1 << 20, 'a');
    struct Row {
        ByteString bytes;
        std::optional<FileEncoding> forced;
        Text loaded;
        QString tag;
        QStringList told;
        ByteString saved;
    };
    const Row rows[] = {
        {"\xEF\xBB\xBF", std::nullopt, "", " [UTF-8 BOM]", {}, "\xEF\xBB\xBF"},
        {"中\0文"s, std::nullopt, "\xD6\xD0", " [UTF-8]", {loadedOnlyPart}, "中"},
        // Not UTF-8, so GBK: the bytes as they are, written back as they are.
        {"中\xE6\x96", std::nullopt, "中\xE6\x96", "", {}, "中\xE6\x96"},
        {asciiMegabyte + "\xFF",
         std::nullopt,
         asciiMegabyte + "\xFF",
         "",
         {},
         asciiMegabyte + "\xFF"},
        // One byte read as UTF-16 is kept as it is, and written after the encoding's mark.
        {"\x41",
         FileEncoding::Utf16Le,
         "\xA2\xFF\x82\xFF",
         " [UTF-16LE]",
         {kKeptUndecodable},
         "\xFF\xFE\x41"},
    };
    OpenBound();
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes.substr(0, 20)));
        const Text path = PathOf("bad.txt");
        Put(path, row.bytes);
        MessageBoxAnswerer answerer;
        Open(path, row.forced);
        EXPECT_TRUE(EditorText() == row.loaded);
        EXPECT_EQ(Caption(), kProgram + FileSystemPath(path) + row.tag);
        EXPECT_EQ(answerer.Texts(), row.told);
        RunItem("&S.保存");
        EXPECT_TRUE(Content(path) == row.saved);
        EXPECT_EQ(answerer.Texts(), row.told) << "saving asks nothing";
    }
}

TEST_F(MainWindowEncodingTest, UndecodableUtf16IsToldOnceAndSavedBackUnchanged) {
    OpenBound();
    const Text path = PathOf("odd.txt");
    const ByteString bytes =
        "\xFF\xFE"
        "a\0\x3D\xD8"
        "b\0"
        "\x41"s;
    Put(path, bytes);
    MessageBoxAnswerer answerer;
    Open(path);
    EXPECT_EQ(answerer.Texts(), QStringList{kKeptUndecodable});
    EXPECT_EQ(Caption(), kProgram + FileSystemPath(path) + QStringLiteral(" [UTF-16LE]"));
    RunItem("&S.保存");
    EXPECT_EQ(Content(path), bytes);
    PressAtEnd(Qt::Key_Backspace);
    TypeKeys("c");
    RunItem("&S.保存");
    EXPECT_EQ(answerer.Texts().size(), 2) << "an edited odd byte cannot be written as UTF-16";
}

TEST_F(MainWindowEncodingTest, AUtf16FileOverAGigabyteIsRefusedWithAMessage) {
    OpenBound();
    const Text path = PathOf("huge.txt");
    Put(path, "\xFF\xFE");
    // Sparse: two gigabytes that take no room on disk.
    const int descriptor = ::open(FileSystemPath(path).toUtf8().constData(), O_WRONLY);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(::ftruncate(descriptor, off_t{2} << 30), 0);
    ::close(descriptor);
    MessageBoxAnswerer answerer;
    Open(path);
    EXPECT_EQ(answerer.Texts(),
              QStringList{QStringLiteral("文件太大：超过1GB的UTF-16文件无法打开。")});
    EXPECT_EQ(EditorText(), "");
    EXPECT_EQ(Caption(), QStringLiteral("Velmor记事本增强版"));
    EXPECT_TRUE(Commands().Documents().CurrentFileName().empty());
}

}  // namespace
}  // namespace velmor
