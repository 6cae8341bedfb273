// The failure of every bitmap operation: a size out of range, a picture file that cannot be
// read, decoded or written. The message says which file (or bitmap) and what is wrong.
#pragma once

#include "engine/engine_exception.h"

namespace korvex::engine {

class BitmapError : public EngineException {
 public:
  using EngineException::EngineException;
};

}  // namespace korvex::engine
