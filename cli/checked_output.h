#pragma once
// The runner's standard output with every write checked: output that cannot be written (a full
// disk, a closed terminal) must stop the command with its cause, not end it as a success that
// left a cut file behind.

#include <array>
#include <streambuf>
#include <string>

namespace vm::cli {

class CheckedOutput : public std::streambuf {
  public:
    explicit CheckedOutput(int fd) : fd_(fd) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    ~CheckedOutput() override { sync(); }
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;

    // Empty while everything written has gone out, else why the first write failed. Nothing is
    // written after a failure.
    const std::string& problem() const { return problem_; }

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

  private:
    bool drain();

    int fd_;
    std::array<char, 64 * 1024> buffer_{};
    std::string problem_;
};

} // namespace vm::cli
