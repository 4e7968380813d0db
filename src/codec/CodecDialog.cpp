#include "codec/CodecDialog.h"

#include <functional>
#include <optional>

#include "codec/Base64Codec.h"
#include "codec/EscapeConversion.h"
#include "codec/HexCodec.h"
#include "codec/Rc4Codec.h"
#include "codec/RepeatedPasses.h"
#include "core/CodePage936.h"

namespace velmor {

namespace {

constexpr const char* kCodecList = "组合框_编解码方式";
constexpr const char* kCount = "编辑框_处理次数";
constexpr const char* kTabs = "选择夹1";
constexpr const char* kKey = "编辑框_密钥";
constexpr const char* kConversionList = "组合框_U码转换的类型";
constexpr const char* kEncode = "单选框_加密";
constexpr const char* kDecode = "单选框_解密";

enum CodecIndex { kBase64 = 0, kRc4 = 1, kEscapes = 2, kHex = 3 };
enum TabPage { kRc4Page = 0, kEscapesPage = 1 };

constexpr const char* kTooLarge = "编码结果过大，已停止。";

Control& AddLabel(DialogFields& fields, const char* name, const char* caption) {
    Control& label = fields.Add(name, ControlKind::Label);
    label.caption = caption;
    return label;
}

void CreateControls(DialogFields& fields) {
    Control& codecs = fields.Add(kCodecList, ControlKind::DropDown);
    for (const char* item : {"BASE64", "RC4", "U码转换", "十六进制"}) {
        codecs.items.push_back(Utf8ToGbk(item));
    }
    codecs.currentIndex = kBase64;
    codecs.text = codecs.items[kBase64];
    AddLabel(fields, "标签1", "处理次数：");
    fields.Add(kCount, ControlKind::EditBox).text = "1";
    Control& tabs = fields.Add(kTabs, ControlKind::Tab);
    tabs.items = {Text("RC4"), Utf8ToGbk("U码转换")};
    tabs.currentIndex = kRc4Page;
    tabs.visible = false;
    AddLabel(fields, "标签2", "密钥：");
    fields.Add(kKey, ControlKind::EditBox);
    AddLabel(fields, "标签3", "转换到：");
    Control& conversions = fields.Add(kConversionList, ControlKind::DropDown);
    conversions.items = {"to16on", "to16un", "to10on", "to10un"};
    conversions.currentIndex = 0;
    conversions.text = conversions.items[0];
    fields.Add("分组框1", ControlKind::GroupBox);
    for (const auto& [name, caption] : {std::pair{kEncode, "加密"}, std::pair{kDecode, "解密"}}) {
        Control& radio = fields.Add(name, ControlKind::RadioButton);
        radio.caption = caption;
        radio.group = "方向";
    }
    fields.At(kEncode).checked = true;
    fields.Add("按钮1", ControlKind::Button).caption = "确定";
}

}  // namespace

void UpdateCodecFields(DialogFields& fields) {
    const int codec = fields.At(kCodecList).currentIndex;
    Control& tabs = fields.At(kTabs);
    tabs.visible = codec == kRc4 || codec == kEscapes;
    if (tabs.visible) {
        tabs.currentIndex = codec == kRc4 ? kRc4Page : kEscapesPage;
    }
    const bool directed = codec != kEscapes;
    fields.At(kEncode).enabled = directed;
    fields.At(kDecode).enabled = directed;
}

namespace {

std::size_t ThreeByteGroups(std::string_view text) {
    return text.size() / 3 * 3;
}

std::size_t Anywhere(std::string_view text) {
    return text.size();
}

// One encoding pass as a map: Base64 starts afresh after every group of three bytes, the
// hexadecimal code after every byte.
constexpr PieceMap kBase64Encode{
    ThreeByteGroups,
    Base64EncodedSize,
    [](std::string_view text, char* out) { return WriteBase64(text, out); },
    [](Text& text) { Base64EncodeInPlace(text); },
    false,
    PieceMap::Utf8Result::Ascii};
constexpr PieceMap kHexEncode{Anywhere,
                              HexEncodedSize,
                              [](std::string_view text, char* out) { return WriteHex(text, out); },
                              [](Text& text) { HexEncodeInPlace(text); },
                              true,
                              PieceMap::Utf8Result::Ascii};

// An encoder: how long its output of a text will be, and the pass that turns a text into it.
struct Encoder {
    std::size_t (*resultSize)(std::size_t);
    std::function<void(Text&)> encode;
};

// The dialog writes its result back in every case, the unchanged document too.
void WriteBackUnchanged(EditorAccess& editor) {
    editor.RewriteText([](Text&) {});
}

// The encoding passes run on the document's own buffer, growing it where it has room; false
// when a pass would have passed the limit and was not run.
bool Encode(EditorAccess& editor, int count, const Encoder& encoder, std::size_t maxResultBytes) {
    bool complete = true;
    editor.RewriteText([&](Text& text) {
        complete = RunPasses(text, count, [&](Text& t) {
            if (encoder.resultSize(t.size()) > maxResultBytes) {
                return false;
            }
            encoder.encode(t);
            return true;
        });
    });
    return complete;
}

// The decoders never grow the text: every pass works within the document's own buffer.
void Decode(EditorAccess& editor, int count, const std::function<void(Text&)>& decodeInPlace) {
    editor.RewriteText([&](Text& text) {
        RunPasses(text, count, [&](Text& t) {
            decodeInPlace(t);
            return true;
        });
    });
}

}  // namespace

void RunCodec(DialogFields& fields, CommandContext& context) {
    EditorAccess& editor = context.editor;
    const std::size_t maxResultBytes = MaxResultBytes(context.services);
    const Text key = fields.TextOf(kKey);
    const int codec = fields.At(kCodecList).currentIndex;
    bool tooLarge = false;
    if (codec == kEscapes) {
        std::optional<Text> converted =
            EscapeConvert(editor.LendText().Get(), fields.TextOf(kConversionList), maxResultBytes);
        tooLarge = !converted;
        if (converted) {
            editor.ReplaceText(std::move(*converted));
        } else {
            WriteBackUnchanged(editor);
        }
    } else if (codec == kBase64 || codec == kRc4 || codec == kHex) {
        const int count = fields.NumberOf(kCount);
        if (fields.IsChecked(kEncode)) {
            const Encoder encoders[] = {
                {kBase64Encode.bound, kBase64Encode.rewrite},
                {Rc4EncodedSize, [&key](Text& t) { t = Rc4Encode(t, key); }},
                {},
                {kHexEncode.bound, kHexEncode.rewrite},
            };
            tooLarge = !Encode(editor, count, encoders[codec], maxResultBytes);
        } else if (fields.IsChecked(kDecode)) {
            const std::function<void(Text&)> decoders[] = {
                [](Text& t) {
                    Base64DecodeInPlace(t);
                    t = ToTextInPlace(std::move(t));
                },
                [&key](Text& t) { Rc4DecodeInPlace(t, key); },
                {},
                [](Text& t) { HexDecodeInPlace(t); },
            };
            Decode(editor, count, decoders[codec]);
        } else {
            WriteBackUnchanged(editor);
        }
    } else {
        WriteBackUnchanged(editor);
    }
    if (tooLarge) {
        editor.ShowMessage(MessageKind::Error, kTooLarge, kErrorTitle);
    }
}

const PieceMap* CodecPieceMap(const DialogFields& fields) {
    const int codec = fields.At(kCodecList).currentIndex;
    if ((codec != kBase64 && codec != kHex) || !fields.IsChecked(kEncode) ||
        fields.NumberOf(kCount) != 1) {
        return nullptr;
    }
    return codec == kBase64 ? &kBase64Encode : &kHexEncode;
}

const DialogDefinition& CodecDialog() {
    static const DialogDefinition definition = [] {
        DialogDefinition d;
        d.title = "编码解码";
        d.createControls = CreateControls;
        d.onOpen = [](DialogFields& fields, CommandContext&) { UpdateCodecFields(fields); };
        d.onChange[kCodecList] = [](DialogFields& fields, CommandContext&) {
            UpdateCodecFields(fields);
        };
        d.onPress["按钮1"] = [](DialogFields& fields, CommandContext& context) {
            RunCodec(fields, context);
        };
        d.actionButton = "按钮1";
        return d;
    }();
    return definition;
}

}  // namespace velmor
