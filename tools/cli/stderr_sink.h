// The message sink of tavrel-cli: every box becomes its caption and text on
// standard error (UTF-8). Questions are declined, since nobody can answer.
#pragma once

#include "database/message_sink.h"

namespace tavrel::cli {

class StderrSink : public MessageSink {
  public:
    MsgAnswer show(const std::string& caption, const std::string& text, MsgButtons buttons, MsgIcon icon,
                   bool ownerless = true) override;
    int shownCount() const { return shown_; }

  private:
    int shown_ = 0;
};

}  // namespace tavrel::cli
