#include "workflow/effects/cpu_vector_support.h"

namespace korvex::workflow {

// __builtin_cpu_supports also checks that the system saves the wider registers on a task
// switch, so a yes means the instructions are usable, not only present. __builtin_cpu_init
// makes the answers valid even when asked from another static initialiser.
bool CpuHasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

bool CpuHasAvx512Vbmi() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vbmi");
}

}  // namespace korvex::workflow
