// The media engine's own exception: every failure the engine raises carries its text here.
#pragma once

#include <stdexcept>
#include <string>

namespace korvex::engine {

class EngineException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace korvex::engine
