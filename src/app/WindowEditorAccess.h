#pragma once

#include <functional>

#include "app/ScintillaEditor.h"
#include "core/EditorAccess.h"

namespace velmor {

// What the commands touch in the window: the ScintillaEditor, message boxes without an owner
// and the support-notice step, which the notice supplies later (a no-op until then).
class WindowEditorAccess : public EditorAccess {
public:
    explicit WindowEditorAccess(ScintillaEditor& editor) : m_editor(editor) {}

    Text ReadText() const override { return m_editor.ReadText(); }
    void ReplaceText(const Text& text) override { m_editor.ReplaceText(text); }
    void ReplaceText(Text&& text) override { m_editor.ReplaceText(std::move(text)); }
    void AppendText(const Text& text) override { m_editor.AppendText(text); }
    SharedText ReadSnapshot() const override { return m_editor.ReadSnapshot(); }
    void ReplaceSnapshot(const SharedText& text) override { m_editor.ReplaceSnapshot(text); }
    void ConfirmText() override { m_editor.ConfirmText(); }
    int SelectionStart() const override { return m_editor.SelectionStart(); }
    int SelectionLength() const override { return m_editor.SelectionLength(); }
    void SetSelectionStart(int start) override { m_editor.SetSelectionStart(start); }
    void SetSelectionLength(int length) override { m_editor.SetSelectionLength(length); }
    bool ModifiedFlag() const override { return m_editor.ModifiedFlag(); }
    void SetModifiedFlag(bool modified) override { m_editor.SetModifiedFlag(modified); }
    void SetChangeListener(ChangeListener listener) override {
        m_editor.SetChangeListener(std::move(listener));
    }

    // Error: critical icon and OK; question: question icon with Yes, No and Cancel;
    // information: no icon and OK. Blocks until answered; closing a question means Cancel.
    MessageAnswer ShowMessage(MessageKind kind, const std::string& text,
                              const std::string& title) override;

    void SupportNoticeStep() override;
    void SetSupportNoticeStep(std::function<void()> step) { m_noticeStep = std::move(step); }

    ScintillaEditor& Editor() { return m_editor; }

private:
    ScintillaEditor& m_editor;
    std::function<void()> m_noticeStep;
};

}  // namespace velmor
