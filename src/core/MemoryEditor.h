#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/EditorAccess.h"

namespace velmor {

// An editor held in memory, for the batch runner and the tests: it records every message and
// every notice step, and answers questions from a queue (Cancel when it runs dry).
class MemoryEditor : public EditorAccess {
public:
    struct Message {
        MessageKind kind;
        std::string text;
        std::string title;
    };

    MemoryEditor() = default;
    explicit MemoryEditor(Text text) : m_text(std::move(text)) {}

    Text ReadText() const override { return m_text; }
    TextLease LendText() const override { return TextLease::Borrow(m_text); }
    void RewriteText(const std::function<void(Text&)>& rewrite) override;
    // The text without a copy, valid until the next change.
    const Text& Contents() const { return m_text; }
    void ReplaceText(const Text& text) override;
    void ReplaceText(Text&& text) override;
    void AppendText(const Text& text) override;
    int SelectionStart() const override { return m_selectionStart; }
    int SelectionLength() const override { return m_selectionLength; }
    void SetSelectionStart(int start) override;
    void SetSelectionLength(int length) override;
    bool ModifiedFlag() const override { return m_modified; }
    void SetModifiedFlag(bool modified) override { m_modified = modified; }
    void SetChangeListener(ChangeListener listener) override { m_listener = std::move(listener); }

    MessageAnswer ShowMessage(MessageKind kind, const std::string& text,
                              const std::string& title) override;
    void SupportNoticeStep() override { ++m_noticeSteps; }

    // Hands the text over, leaving the editor empty, for a caller that is done with it.
    Text TakeText() { return std::move(m_text); }

    // Stands for the user typing: replaces the text like a keystroke would and sets the flag.
    void Type(const Text& text);

    void QueueAnswer(MessageAnswer answer) { m_answers.push_back(answer); }
    void SetDefaultAnswer(MessageAnswer answer) { m_defaultAnswer = answer; }
    const std::vector<Message>& Messages() const { return m_messages; }
    int NoticeSteps() const { return m_noticeSteps; }
    int ChangeNotifications() const { return m_notifications; }

private:
    void AfterReplace();
    void Notify();

    Text m_text;
    int m_selectionStart = 0;
    int m_selectionLength = 0;
    bool m_modified = false;
    ChangeListener m_listener;
    std::vector<Message> m_messages;
    std::deque<MessageAnswer> m_answers;
    MessageAnswer m_defaultAnswer = MessageAnswer::Cancel;
    int m_noticeSteps = 0;
    int m_notifications = 0;
};

}  // namespace velmor
