#include "support/fake_message_sink.h"

#include "text/sjis.h"

namespace tavrel::testing {

std::string ShownMessage::captionUtf8() const { return text::toUtf8(caption); }
std::string ShownMessage::textUtf8() const { return text::toUtf8(text); }

MsgAnswer FakeMessageSink::show(const std::string& caption, const std::string& text, MsgButtons buttons,
                                MsgIcon icon, bool ownerless) {
    shown_.push_back({caption, text, buttons, icon, ownerless});
    if (!answers_.empty()) {
        const MsgAnswer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
}

}  // namespace tavrel::testing
