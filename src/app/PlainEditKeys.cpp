#include "app/PlainEditKeys.h"

namespace velmor {

namespace {

constexpr int Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return static_cast<int>(key) | static_cast<int>(modifiers.toInt());
}

constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

}  // namespace

const std::vector<EditKeyBinding>& PlainEditKeyBindings() {
    using C = QsciCommand::Command;
    static const std::vector<EditKeyBinding> bindings = {
        {Key(Qt::Key_Left), C::CharLeft},
        {Key(Qt::Key_Left, kShift), C::CharLeftExtend},
        {Key(Qt::Key_Right), C::CharRight},
        {Key(Qt::Key_Right, kShift), C::CharRightExtend},
        {Key(Qt::Key_Left, kCtrl), C::WordLeft},
        {Key(Qt::Key_Left, kCtrlShift), C::WordLeftExtend},
        {Key(Qt::Key_Right, kCtrl), C::WordRight},
        {Key(Qt::Key_Right, kCtrlShift), C::WordRightExtend},
        {Key(Qt::Key_Up), C::LineUp},
        {Key(Qt::Key_Up, kShift), C::LineUpExtend},
        {Key(Qt::Key_Down), C::LineDown},
        {Key(Qt::Key_Down, kShift), C::LineDownExtend},
        // With word wrap on, Home and End keep to the line as shown, as a plain edit box does.
        {Key(Qt::Key_Home), C::HomeDisplay},
        {Key(Qt::Key_Home, kShift), C::HomeDisplayExtend},
        {Key(Qt::Key_End), C::LineEndDisplay},
        {Key(Qt::Key_End, kShift), C::LineEndDisplayExtend},
        {Key(Qt::Key_Home, kCtrl), C::DocumentStart},
        {Key(Qt::Key_Home, kCtrlShift), C::DocumentStartExtend},
        {Key(Qt::Key_End, kCtrl), C::DocumentEnd},
        {Key(Qt::Key_End, kCtrlShift), C::DocumentEndExtend},
        {Key(Qt::Key_PageUp), C::PageUp},
        {Key(Qt::Key_PageUp, kShift), C::PageUpExtend},
        {Key(Qt::Key_PageDown), C::PageDown},
        {Key(Qt::Key_PageDown, kShift), C::PageDownExtend},
        {Key(Qt::Key_Delete), C::Delete},
        {Key(Qt::Key_Backspace), C::DeleteBack},
        {Key(Qt::Key_Backspace, kShift), C::DeleteBack},
        {Key(Qt::Key_Return), C::Newline},
        {Key(Qt::Key_Return, kShift), C::Newline},
        {Key(Qt::Key_Tab), C::Tab},
    };
    return bindings;
}

}  // namespace velmor
