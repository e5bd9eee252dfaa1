// A message sink for tests: records every box and answers with the answers
// queued in advance (Ok / Yes when nothing is queued).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "database/message_sink.h"

namespace tavrel::testing {

struct ShownMessage {
    std::string caption;  // CP932
    std::string text;     // CP932
    MsgButtons buttons;
    MsgIcon icon;
    bool ownerless;
    // UTF-8 copies, for readable assertions.
    std::string captionUtf8() const;
    std::string textUtf8() const;
};

class FakeMessageSink : public MessageSink {
public:
    MsgAnswer show(const std::string& caption, const std::string& text, MsgButtons buttons, MsgIcon icon,
                   bool ownerless = true) override;

    void setNextAnswer(MsgAnswer a) { answers_.push_back(a); }
    const std::vector<ShownMessage>& shown() const { return shown_; }
    bool empty() const { return shown_.empty(); }
    void clear() { shown_.clear(); }

private:
    std::vector<ShownMessage> shown_;
    std::deque<MsgAnswer> answers_;
};

}  // namespace tavrel::testing
