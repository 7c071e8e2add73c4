#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

namespace plinka::testing {

// Catches what is written to standard error while it lives.
class StandardErrorCapture {
  public:
    StandardErrorCapture() : file_(std::tmpfile()), saved_(::dup(STDERR_FILENO)) {
        std::fflush(stderr);
        ::dup2(::fileno(file_), STDERR_FILENO);
    }
    ~StandardErrorCapture() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        std::fclose(file_);
    }
    StandardErrorCapture(const StandardErrorCapture&) = delete;
    StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;

    std::string text() const {
        std::fflush(stderr);
        std::rewind(file_);
        std::string result;
        for (int c; (c = std::fgetc(file_)) != EOF;) {
            result += static_cast<char>(c);
        }
        return result;
    }

  private:
    std::FILE* file_;
    int saved_;
};

}  // namespace plinka::testing
