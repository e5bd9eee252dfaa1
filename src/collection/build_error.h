// The one error type of the sample-collection builder: every malformed source
// names its file and line, and the build stops without writing anything.
#pragma once

#include <stdexcept>
#include <string>

namespace tavrel::collection {

class BuildError : public std::runtime_error {
  public:
    BuildError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(compose(file, line, message)) {}
    explicit BuildError(const std::string& message) : std::runtime_error(message) {}

  private:
    static std::string compose(const std::string& file, int line, const std::string& message) {
        std::string where = file;
        if (line > 0) where += ":" + std::to_string(line);
        return where + ": " + message;
    }
};

}  // namespace tavrel::collection
