// The core's only way to speak to the user: a message box request. The
// program answers it with a QMessageBox; tests answer it with a fake that
// records what was shown and returns answers given in advance.
#pragma once

#include <string>

namespace tavrel {

enum class MsgIcon { None, Error, Information, Exclamation, Question };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // caption and text are CP932. ownerless is true for boxes shown without
    // an owner window (the error reports of the database layer).
    virtual MsgAnswer show(const std::string& caption, const std::string& text, MsgButtons buttons, MsgIcon icon,
                           bool ownerless = true) = 0;
};

}  // namespace tavrel
