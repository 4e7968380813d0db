#pragma once

#include "core/MainEditor.h"

namespace velmor {

enum class MessageKind { Error, Question, Information };
enum class MessageAnswer { None, Yes, No, Cancel };

// Standard titles of the three message kinds.
inline constexpr const char* kErrorTitle = "错误";
inline constexpr const char* kQuestionTitle = "询问";
inline constexpr const char* kInformationTitle = "信息：";

// Everything a command may touch besides its own fields: the document's editor, blocking
// messages, and the support-notice step. The window and the in-memory editor implement it.
class EditorAccess : public MainEditor {
public:
    // Shows a blocking message; text and title are UTF-8 user-interface strings. A question
    // returns Yes, No or Cancel; the other kinds return None.
    virtual MessageAnswer ShowMessage(MessageKind kind, const std::string& text,
                                      const std::string& title) = 0;
    // At most once per run, and only on its days, shows the blocking support notice.
    virtual void SupportNoticeStep() = 0;
};

}  // namespace velmor
