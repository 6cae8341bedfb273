// The base of the engine's components (converter, player, probe, logger): owned objects that
// are neither copied nor moved, because events and worker threads hold pointers to them.
#pragma once

namespace korvex::engine {

class TEngineComponent {
 public:
  TEngineComponent() = default;
  TEngineComponent(const TEngineComponent&) = delete;
  TEngineComponent& operator=(const TEngineComponent&) = delete;
  virtual ~TEngineComponent() = default;
};

}  // namespace korvex::engine
