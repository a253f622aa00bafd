// The file requesters' and questions' interface: the toolkit's dialogs implement it in the screen
// library, scripted runs and tests answer from a queue. Nothing here depends on a toolkit.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron::runtime {

// The open and save file requesters, and questions. Both file requesters return the chosen
// path, or an empty string when the user cancelled. The initial path names the folder shown (and
// may end with a proposed name); the pattern lists the file types ("*.TXT").
class Requesters {
  public:
    virtual ~Requesters() = default;
    virtual std::string OpenFile(std::string_view title, std::string_view initialPath,
                                 std::string_view pattern) = 0;
    virtual std::string SaveFile(std::string_view title, std::string_view initialPath,
                                 std::string_view pattern) = 0;
    // A question with a button per answer: the index of the button chosen, or -1 when nobody
    // answered (no window can be shown, no scripted answer is left). Closing the box chooses
    // the last button.
    virtual int Ask(std::string_view title, std::string_view question,
                    const std::vector<std::string>& buttons) {
        (void)title, (void)question, (void)buttons;
        return -1;
    }
};

// Requesters answered from a queue, for tests and scripted runs: each request takes the next
// answer; with none left, the request is cancelled. Every request is remembered.
class ScriptedRequesters : public Requesters {
  public:
    struct Request {
        bool save;
        std::string title;
        std::string initialPath;
        std::string pattern;
    };

    void Answer(std::string path) { answers_.push_back(std::move(path)); }
    // The next question is answered with the button of this text; with none left, or with a
    // text no button has, it stays unanswered (-1).
    void Reply(std::string button) { replies_.push_back(std::move(button)); }
    const std::vector<Request>& Requests() const { return requests_; }

    std::string OpenFile(std::string_view title, std::string_view initialPath,
                         std::string_view pattern) override;
    std::string SaveFile(std::string_view title, std::string_view initialPath,
                         std::string_view pattern) override;
    int Ask(std::string_view title, std::string_view question,
            const std::vector<std::string>& buttons) override;

  private:
    std::string Take(bool save, std::string_view title, std::string_view initialPath,
                     std::string_view pattern);
    std::deque<std::string> answers_;
    std::deque<std::string> replies_;
    std::vector<Request> requests_;
};

}  // namespace tessaron::runtime
