#include "cli/TerminalProgressView.h"

#include <unistd.h>

namespace pelmora::cli {

namespace {

// Carriage return and "erase to the end of the line".
constexpr const char* ClearLine = "\r\033[K";

} // namespace

TerminalProgressView::TerminalProgressView(std::FILE* out)
    : out_(out), inPlace_(isatty(fileno(out)) != 0) {}

TerminalProgressView::~TerminalProgressView() {
    Hide();
}

void TerminalProgressView::SetObjectLabel(const std::string& text) {
    objectLabel_ = text;
    Changed();
}

void TerminalProgressView::SetElementLabel(const std::string& text) {
    elementLabel_ = text;
    Changed();
}

std::string TerminalProgressView::Line() const {
    if (objectLabel_.empty() && elementLabel_.empty())
        return {};
    std::string line = "Przetwarzany obiekt: " + objectLabel_;
    if (!elementLabel_.empty())
        line += "  Przetwarzany element: " + elementLabel_;
    return line;
}

void TerminalProgressView::Hide() {
    if (inPlace_ && drawn_) {
        std::fputs(ClearLine, out_);
        std::fflush(out_);
        drawn_ = false;
    }
}

void TerminalProgressView::Show() {
    if (!inPlace_)
        return;
    const std::string line = Line();
    std::fputs(ClearLine, out_);
    std::fputs(line.c_str(), out_);
    std::fflush(out_);
    drawn_ = !line.empty();
}

void TerminalProgressView::Changed() {
    if (inPlace_) {
        Show();
        return;
    }
    const std::string line = Line();
    if (line.empty() || line == lastPrinted_)
        return;
    lastPrinted_ = line;
    std::fprintf(out_, "progress: %s\n", line.c_str());
    std::fflush(out_);
}

} // namespace pelmora::cli
