#include "stderr_sink.h"

#include "text/sjis.h"

#include <cstdio>

namespace tavrel::cli {

MsgAnswer StderrSink::show(const std::string& caption, const std::string& text, MsgButtons buttons, MsgIcon, bool) {
    ++shown_;
    const std::string out = "[" + text::toUtf8(caption) + "]\n" + text::toUtf8(text) + "\n";
    std::fwrite(out.data(), 1, out.size(), stderr);
    std::fflush(stderr);
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
    }
    return MsgAnswer::Ok;
}

}  // namespace tavrel::cli
