// Message boxes of the core on QMessageBox. For tests the sink can answer
// in advance instead of showing a box (like a "next answer" seam): every
// request is then recorded.
#pragma once

#include "database/message_sink.h"

#include <QString>
#include <QWidget>

#include <deque>
#include <vector>

namespace tavrel::gui {

class QtMessageSink : public MessageSink {
  public:
    MsgAnswer show(const std::string& caption, const std::string& text, MsgButtons buttons, MsgIcon icon,
                   bool ownerless = true) override;

    // The owner window of boxes that have one.
    void setOwner(QWidget* owner) { owner_ = owner; }

    // Test seam: answer without showing anything.
    void setAnswerInAdvance(bool on) { inAdvance_ = on; }
    void setNextAnswer(MsgAnswer a) { answers_.push_back(a); }
    struct Shown {
        QString caption, text;
    };
    const std::vector<Shown>& shown() const { return shown_; }

  private:
    QWidget* owner_ = nullptr;
    bool inAdvance_ = false;
    std::deque<MsgAnswer> answers_;
    std::vector<Shown> shown_;
};

}  // namespace tavrel::gui
